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
#include <cmath>
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
  int32_t previousTime = 0;  // seconds of the day of the previous fix
  int32_t midnights = 0;     // midnight crossings since the last date record
  // Midnight of the day each run of fixes was flown, from the HFDTE records:
  // a record dates the fixes after it (the first also those before it).
  struct DatedRun {
    int32_t firstFix;
    double date;
  };
  std::vector<DatedRun> dates;
  bool newDate = false;  // a date record changed the day since the last fix
  double lastStep = 0;   // time step of the last fix (from the second fix on)
  bool allPressureZero = true;
  bool gnssReadable = true;  // every fix so far has a readable GNSS altitude
  int32_t startLatRaw = 0, startLonRaw = 0;
  // Bytes of each B record that hold an I record extension read here:
  // first byte (0-based) and count; count 0 = the file has none.
  struct Field {
    int first = 0, count = 0;
  };
  Field enl, mop, lad, lod;
  bool extensions = false;  // any of them
};

// One B line (at least one character long) into the next staging slot.
void stageFix(LoadStaging& st, IgcScan& scan, const char* b, qsizetype length) {
  if (length < kMinFixLength) throw RunError::range();
  if (isPlaceholderPosition(b)) return;
  if (scan.fixes >= kMaxFlightPoints)
    throw RunError::tooManyPoints(kMaxFlightPoints);  // plumb lines need two entries per fix
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

// A field of one to nine ASCII digits as a number; -1 for anything else.
int32_t digitsOf(std::string_view s) {
  int32_t v;
  return !s.empty() && s.size() <= 9 && plainDigits(s.data(), int(s.size()), v) ? v : -1;
}

// A declaration or an event list far beyond any real one is cut here.
constexpr size_t kMaxTaskPoints = 200;
constexpr size_t kMaxEvents = 65536;

// "I NN (SS FF CCC)…": where ENL, MOP, LAD and LOD sit in the B records that
// follow. A malformed record is passed over and the fields stay as before.
void readExtensionRecord(IgcScan& scan, std::string_view line) {
  const int32_t fields = line.size() < 3 ? -1 : digitsOf(line.substr(1, 2));
  if (fields < 0) return;
  const size_t count = size_t(fields);
  if (line.size() < 3 + 7 * count) return;
  IgcScan::Field enl, mop, lad, lod;
  for (size_t k = 0; k < count; ++k) {
    const std::string_view f = line.substr(3 + 7 * k, 7);
    const int first = digitsOf(f.substr(0, 2)), last = digitsOf(f.substr(2, 2));
    if (first < 2 || last < first || last - first > 8) return;
    const IgcScan::Field field{first - 1, last - first + 1};
    const std::string_view code = f.substr(4, 3);
    if (code == "ENL")
      enl = field;
    else if (code == "MOP")
      mop = field;
    else if (code == "LAD")
      lad = field;
    else if (code == "LOD")
      lod = field;
  }
  scan.enl = enl, scan.mop = mop, scan.lad = lad, scan.lod = lod;
  scan.extensions = enl.count || mop.count || lad.count || lod.count;
}

// The value of an extension field of a B record; -1 when the line is too
// short for it or it holds anything but digits.
int32_t extensionValue(std::string_view b, IgcScan::Field f) {
  if (f.count == 0 || size_t(f.first + f.count) > b.size()) return -1;
  return digitsOf(b.substr(size_t(f.first), size_t(f.count)));
}

// The extension values of the fix just staged as number `fix`.
void stageExtensions(IgcStaging& st, const IgcScan& scan, std::string_view b, int32_t fix) {
  auto level = [&](std::vector<int16_t>& values, IgcScan::Field f) {
    if (f.count == 0) return;
    values.resize(size_t(fix), -1);
    values.push_back(int16_t(std::min(extensionValue(b, f), 999)));
  };
  level(st.extras.enl, scan.enl);
  level(st.extras.mop, scan.mop);
  auto minutes = [&](std::vector<double>& values, IgcScan::Field f) {
    if (f.count == 0) return;
    values.resize(size_t(fix), 0.0);
    const int32_t v = extensionValue(b, f);
    values.push_back(v < 0 ? 0.0 : v / std::pow(10.0, 3 + f.count));
  };
  minutes(st.latMinutes, scan.lad);
  minutes(st.lonMinutes, scan.lod);
}

// A C record: the header of a declaration (which starts the task anew) or
// one of its points. Anything else is passed over.
void readTaskRecord(IgcStaging& st, std::string_view line) {
  // The header: date and time of the declaration, flight date, task number, turnpoints.
  if (line.size() >= 25 && digitsOf(line.substr(1, 8)) >= 0 && digitsOf(line.substr(9, 8)) >= 0 &&
      digitsOf(line.substr(17, 8)) >= 0) {
    st.extras.task.clear();
    return;
  }
  if (line.size() < 18) return;
  const int32_t lat = digitsOf(line.substr(1, 7)), lon = digitsOf(line.substr(9, 8));
  const char ns = line[8], ew = line[17];
  if (lat < 0 || lon < 0 || (ns != 'N' && ns != 'S') || (ew != 'E' && ew != 'W')) return;
  if (lat % 100000 >= 60000 || lon % 100000 >= 60000 || lat > 9000000 || lon > 18000000) return;
  if (st.extras.task.size() >= kMaxTaskPoints) return;
  trelvano::TaskPoint p;
  p.lat = loggerDegrees(ns == 'S' ? -lat : lat);
  p.lon = loggerDegrees(ew == 'W' ? -lon : lon);
  p.placeholder = lat == 0 && lon == 0;
  p.name = QString::fromLatin1(line.substr(18).data(), qsizetype(line.size() - 18)).trimmed();
  st.extras.task.push_back(p);
}

// An E record: "E HHMMSS CCC …", passed over unless time and code are readable.
void readEventRecord(IgcStaging& st, const IgcScan& scan, std::string_view line) {
  if (line.size() < 10 || st.events.size() >= kMaxEvents) return;
  const int32_t h = digitsOf(line.substr(1, 2)), m = digitsOf(line.substr(3, 2)), s = digitsOf(line.substr(5, 2));
  if (h < 0 || m < 0 || s < 0 || h > 23 || m > 59 || s > 59) return;
  for (char c : line.substr(7, 3))
    if (!((c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9'))) return;
  st.events.push_back({scan.fixes, h * 3600 + m * 60 + s, QString::fromLatin1(line.substr(7, 3).data(), 3)});
}

void readOtherRecord(IgcStaging& st, IgcScan& scan, std::string_view line) {
  switch (line[0]) {
    case 'C': readTaskRecord(st, line); break;
    case 'E': readEventRecord(st, scan, line); break;
    case 'I': readExtensionRecord(scan, line); break;
    case 'G': st.extras.securityRecord = true; break;
    default: break;
  }
}

// The records beside the fixes into `data.Igc`. Runs after commit().
void commitExtras(FlightData& data, LoadStaging& st, const IgcScan& scan) {
  IgcStaging& igc = st.igc;
  const size_t fixes = size_t(scan.fixes);
  if (!igc.extras.enl.empty()) igc.extras.enl.resize(fixes, -1);
  if (!igc.extras.mop.empty()) igc.extras.mop.resize(fixes, -1);
  // Events come in file order: the flight's time at their fix runs along with them.
  int32_t reached = 0;
  double elapsed = 0;  // seconds from the first fix to fix `reached`, by the flight's steps
  for (const IgcStaging::Event& e : igc.events) {
    const int32_t k = std::min(e.nextFix, scan.fixes - 1);
    for (; reached < k; ++reached) elapsed += st.points[reached + 1].timeStep;
    // The event's clock against its fix's, across midnight either way.
    double delta = e.secondOfDay - std::fmod(st.points[k].time, double(kSecondsPerDay));
    if (delta >= kHalfDay) delta -= kSecondsPerDay;
    if (delta < -kHalfDay) delta += kSecondsPerDay;
    igc.extras.events.push_back({k, elapsed + delta, e.code});
  }
  std::swap(data.Igc, igc.extras);
}

void commit(FlightData& data, const LoadStaging& st, const IgcScan& scan, bool useGnss) {
  const int32_t last = scan.fixes - 1;
  auto altitudeOf = [&st, useGnss](int32_t i) {
    return useGnss ? static_cast<double>(st.points[i].gnssAltitude) : st.points[i].altitude;
  };

  // The further digits of LAD and LOD, in degrees towards the hemisphere's side.
  const std::vector<double>& latMinutes = st.igc.latMinutes;
  const std::vector<double>& lonMinutes = st.igc.lonMinutes;
  const bool fine = !latMinutes.empty() || !lonMinutes.empty();
  auto finer = [](const std::vector<double>& minutes, int32_t i, int32_t raw) {
    if (size_t(i) >= minutes.size()) return 0.0;
    return (raw < 0 ? -minutes[size_t(i)] : minutes[size_t(i)]) / 60;
  };

  data.LoggerNG = false;
  data.FlightPath[0].TimeStep = 2.0;
  if (scan.fixes >= 2) data.SampleInterval = scan.lastStep;
  FrameOrigin origin{};
  if (scan.fixes > 0) {
    data.StartLatRaw = scan.startLatRaw;
    data.StartLonRaw = scan.startLonRaw;
    data.StartAltitude = altitudeOf(0);
    origin = {loggerDegrees(st.points[0].latRaw) + finer(latMinutes, 0, st.points[0].latRaw),
              loggerDegrees(st.points[0].lonRaw) + finer(lonMinutes, 0, st.points[0].lonRaw), altitudeOf(0)};
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
    if (fine) {
      p.Lat += finer(latMinutes, i, s.latRaw);
      p.Lon += finer(lonMinutes, i, s.lonRaw);
    }
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
  staging.igc.clear();
  int line = 0;
  try {
    while (p < end) {
      ++line;
      const char* const lineStart = p;
      const char* const lineEnd = findLineEnd(p, end);
      if (lineEnd != lineStart && *lineStart == 'B') {
        const int32_t fix = scan.fixes;
        stageFix(staging, scan, lineStart, lineEnd - lineStart);
        if (scan.extensions && scan.fixes > fix)
          stageExtensions(staging.igc, scan, std::string_view(lineStart, size_t(lineEnd - lineStart)), fix);
      } else if (lineEnd != lineStart && *lineStart == 'H') {
        noteDate(scan, std::string_view(lineStart, size_t(lineEnd - lineStart)));
      } else if (lineEnd != lineStart) {
        readOtherRecord(staging.igc, scan, std::string_view(lineStart, size_t(lineEnd - lineStart)));
      }
      if (lineEnd == end || *lineEnd == kCtrlZ) break;  // Ctrl-Z ends the file
      p = afterLineEnd(lineEnd, end);
    }
  } catch (const RunError& e) {
    throw atFileLine(e, fileName, line);
  }
  if (scan.fixes == 0) throw inFile(RunError::noFlightData(), fileName);
  const bool useGnss = scan.allPressureZero && scan.gnssReadable;
  commit(data, staging, scan, useGnss);
  commitExtras(data, staging, scan);
  data.Igc.gnssAboveEllipsoid = igcGnssAboveEllipsoid(bytes);
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
