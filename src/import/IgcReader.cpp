#include "import/IgcReader.h"

#include "import/AltitudeSource.h"
#include "import/Coordinates.h"
#include "import/LoadStagingData.h"
#include "import/LocalFrame.h"
#include "import/PlainDigits.h"
#include "import/TextLines.h"
#include "import/UtcTime.h"
#include "model/Numbers.h"

#include <algorithm>
#include <cstring>
#include <limits>
#include <optional>
#include <string_view>
#include <vector>

namespace trelvano {

namespace {

// Shortest B line with every field up to the pressure altitude (columns 1-30),
// and the one that also holds the GNSS altitude (columns 31-35).
constexpr qsizetype kMinFixLength = 30;
constexpr qsizetype kMinGnssLength = 35;
constexpr int32_t kSecondsPerDay = 86400;
constexpr int32_t kHalfDay = kSecondsPerDay / 2;

// A fixed-width integer field as StrToInt reads it; plain digits are read
// here, anything else goes through parseInt for its result or its error text.
inline int32_t fieldInt(const char* f, int width) {
  int32_t v;
  return plainDigits(f, width, v) ? v : parseInt(std::string_view(f, width));
}

// A 5-column altitude field. Leading zeros (all but the last character) become
// blanks before the field is read, so 00000 is 0 and -0012 is -12.
inline int32_t altitudeField(const char* f) {
  int32_t v;
  if (f[0] == '-' ? plainDigits(f + 1, 4, v) : plainDigits(f, 5, v)) return f[0] == '-' ? -v : v;
  char text[5];
  std::memcpy(text, f, 5);
  for (int k = 0; k < 4 && text[k] == '0'; ++k) text[k] = ' ';
  return parseInt(std::string_view(text, 5));
}

// Latitude 0000000 and longitude 00000000, whatever the hemisphere letters:
// what recorders write before their first position, not a place at 0°/0°.
// Compared as two words, not digit by digit: every fix passes here.
bool isPlaceholderPosition(const char* b) {
  return std::memcmp(b + 15, "00000000", 8) == 0 && std::memcmp(b + 7, "0000000", 7) == 0;
}

bool tryAltitudeField(const char* f, int32_t& value) {
  try {
    value = altitudeField(f);
    return true;
  } catch (const RunError&) {
    return false;
  }
}

}  // namespace

bool isIgcFileName(const QString& path) { return path.endsWith(QLatin1String(".igc"), Qt::CaseInsensitive); }

int32_t fixTimeStep(int32_t previousSecondOfDay, int32_t secondOfDay) {
  const int32_t step = secondOfDay - previousSecondOfDay;
  if (step >= 0) return step;
  // The clock ran from the evening into the morning: a midnight crossing.
  if (step + kSecondsPerDay < kHalfDay) return step + kSecondsPerDay;
  return 0;  // the recorder set its clock back
}

namespace {

struct IgcScan {
  int32_t fixes = 0;
  int32_t previousTime = 0;   // seconds of the day of the previous fix
  int32_t midnights = 0;      // midnight crossings since the last date record
  // Midnight of the day each run of fixes was flown, from the HFDTE records:
  // a record dates the fixes after it (the first also those before it).
  struct DatedRun {
    int32_t firstFix;
    double date;
  };
  std::vector<DatedRun> dates;
  bool newDate = false;  // a date record changed the day since the last fix
  double lastStep = 0;        // time step of the last fix (from the second fix on)
  bool allPressureZero = true;
  bool gnssReadable = true;   // every fix so far has a readable GNSS altitude
  int32_t startLatRaw = 0, startLonRaw = 0;
};

// One B line (at least one character long) into the next staging slot.
void stageFix(LoadStaging& st, IgcScan& scan, const char* b, qsizetype length) {
  if (length < kMinFixLength) throw RunError::range();
  if (isPlaceholderPosition(b)) return;
  if (scan.fixes >= kMaxFlightPoints) throw RunError::tooManyPoints(kMaxFlightPoints);  // plumb lines need two entries per fix
  StagedPoint& pt = st.points[scan.fixes];

  const int32_t seconds = fieldInt(b + 5, 2);
  const int32_t time = fieldInt(b + 1, 2) * 3600 + fieldInt(b + 3, 2) * 60 + seconds;
  if (scan.fixes == 0) {
    pt.timeStep = 2.0;
  } else {
    pt.timeStep = fixTimeStep(scan.previousTime, time);
    scan.lastStep = pt.timeStep;
    // A clock that ran past midnight adds a day, unless a date record between
    // the two fixes already names the new day.
    if (time < scan.previousTime && pt.timeStep > 0 && !scan.newDate) ++scan.midnights;
  }
  scan.previousTime = time;
  scan.newDate = false;
  pt.time = scan.midnights * double(kSecondsPerDay) + time;

  int32_t lat = fieldInt(b + 7, 7);
  if (b[14] == 'S') lat = -lat;
  int32_t lon = fieldInt(b + 15, 8);
  if (b[23] == 'W') lon = -lon;
  pt.latRaw = lat;
  pt.lonRaw = lon;

  const int32_t pressure = altitudeField(b + 25);
  pt.altitude = pressure;
  // Recorders without a barometer write 00000 for every fix; their GNSS
  // altitude then stands in while no real pressure altitude showed up. The
  // exports take it wherever a fix has one.
  const bool gnss = length >= kMinGnssLength && tryAltitudeField(b + 30, pt.gnssAltitude);
  if (!gnss) pt.gnssAltitude = 0;
  if (scan.allPressureZero) {
    if (pressure != 0)
      scan.allPressureZero = false;
    else if (!gnss)
      scan.gnssReadable = false;
  }
  if (scan.fixes == 0) {
    scan.startLatRaw = lat;
    scan.startLonRaw = lon;
  }
  ++scan.fixes;
}

// A date record: the fixes after it were flown on that day. The same date
// again (some recorders repeat their header) changes nothing.
void noteDate(IgcScan& scan, std::string_view line) {
  const std::optional<double> date = igcDate(line);
  if (!date) return;
  if (scan.dates.empty()) {
    scan.dates.push_back({0, *date});
  } else if (*date != scan.dates.back().date) {
    scan.dates.push_back({scan.fixes, *date});
    scan.midnights = 0;
    scan.newDate = true;
  }
}

void commit(FlightData& data, const LoadStaging& st, const IgcScan& scan, bool useGnss) {
  const int32_t last = scan.fixes - 1;
  auto altitudeOf = [&st, useGnss](int32_t i) {
    return useGnss ? static_cast<double>(st.points[i].gnssAltitude) : st.points[i].altitude;
  };

  data.LoggerNG = false;
  data.FlightPath[0].TimeStep = 2.0;
  if (scan.fixes >= 2) data.SampleInterval = scan.lastStep;
  FrameOrigin origin{};
  if (scan.fixes > 0) {
    data.StartLatRaw = scan.startLatRaw;
    data.StartLonRaw = scan.startLonRaw;
    data.StartAltitude = altitudeOf(0);
    origin = {loggerDegrees(st.points[0].latRaw), loggerDegrees(st.points[0].lonRaw), altitudeOf(0)};
  }
  data.LastPoint = last;
  data.RangeStart = 0;
  data.RangeEnd = last;
  data.HasPointTimes = !scan.dates.empty();
  data.HasGnssAltitudes = true;
  data.HasFlight = true;
  double* const pointTime = data.PointTime;
  double* const gnssAltitude = data.GnssAltitude;
  size_t run = 0;
  double lastTime = -std::numeric_limits<double>::infinity();
  writeFlightFrame(data, last, origin, [&](int32_t i, FlightPoint& p) {
    const StagedPoint& s = st.points[i];
    p.Lat = loggerDegrees(s.latRaw);
    p.Lon = loggerDegrees(s.lonRaw);
    p.Altitude = altitudeOf(i);
    p.Pen = i == 0 ? kPenMove : kPenLine;
    p.Color = colours::kBlue;
    p.TimeStep = s.timeStep;
    gnssAltitude[i] = s.gnssAltitude;
    if (data.HasPointTimes) {
      while (run + 1 < scan.dates.size() && scan.dates[run + 1].firstFix <= i) ++run;
      // Where the recorder set its clock back the flight counts no time, and
      // the times go on by the flight's own steps from there: they never run backwards.
      lastTime = std::max(scan.dates[run].date + s.time, lastTime + s.timeStep);
      pointTime[i] = lastTime;
    }
  });
}

}  // namespace

QString loadIgc(FlightData& data, LoadStaging& staging, QByteArrayView bytes, const QString& fileName) {
  const char* p = bytes.data();
  const char* const end = p + bytes.size();
  IgcScan scan;
  int line = 0;
  try {
    while (p < end) {
      ++line;
      const char* const lineStart = p;
      const char* const lineEnd = findLineEnd(p, end);
      if (lineEnd != lineStart && *lineStart == 'B')
        stageFix(staging, scan, lineStart, lineEnd - lineStart);
      else if (lineEnd != lineStart && *lineStart == 'H')
        noteDate(scan, std::string_view(lineStart, size_t(lineEnd - lineStart)));
      if (lineEnd == end || *lineEnd == kCtrlZ) break;  // Ctrl-Z ends the file
      p = afterLineEnd(lineEnd, end);
    }
  } catch (const RunError& e) {
    throw atFileLine(e, fileName, line);
  }
  if (scan.fixes == 0) throw inFile(RunError::noFlightData(), fileName);
  const bool useGnss = scan.allPressureZero && scan.gnssReadable;
  commit(data, staging, scan, useGnss);
  return useGnss ? altitudeLabel(-1) : pressureAltitudeLabel();
}

bool igcGnssAboveEllipsoid(QByteArrayView bytes) {
  // Header lines H?ALG…: the altitude datum of the GNSS fixes.
  for (qsizetype at = 0; at < bytes.size();) {
    qsizetype end = at;
    while (end < bytes.size() && bytes[end] != '\n' && bytes[end] != '\r') ++end;
    const QByteArrayView line = bytes.sliced(at, end - at);
    if (line.size() >= 5 && line[0] == 'H' && line.sliced(2, 3) == QByteArrayView("ALG") &&
        line.sliced(5).indexOf(QByteArrayView("ELL")) >= 0)
      return true;
    if (!line.isEmpty() && line[0] == 'B') return false;  // the header is over
    at = end + 1;
  }
  return false;
}

}  // namespace trelvano
