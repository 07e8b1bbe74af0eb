#include "import/IgcReader.h"

#include "import/Coordinates.h"
#include "import/LoadStagingData.h"
#include "import/LocalFrame.h"
#include "import/TextLines.h"
#include "model/Numbers.h"

#include <cstring>
#include <string_view>

namespace {

// Shortest B line with every field up to the pressure altitude (columns 1-30),
// and the one that also holds the GNSS altitude (columns 31-35).
constexpr qsizetype kMinFixLength = 30;
constexpr qsizetype kMinGnssLength = 35;
constexpr int32_t kSecondsPerDay = 86400;

// A fixed-width integer field as StrToInt reads it; plain digits are read here,
// anything else goes through parseInt for its result or its error text.
inline int32_t fieldInt(const char* f, int width) {
  int32_t v = 0;
  for (int k = 0; k < width; ++k) {
    const unsigned d = static_cast<unsigned char>(f[k]) - unsigned{'0'};
    if (d > 9) return parseInt(std::string_view(f, width));
    v = v * 10 + static_cast<int32_t>(d);
  }
  return v;
}

// A 5-column altitude field. Leading zeros (all but the last character) become
// blanks before the field is read, so 00000 is 0 and -0012 is -12.
int32_t altitudeField(const char* f) {
  const bool negative = f[0] == '-';
  int32_t v = 0;
  bool plain = true;
  for (int k = negative ? 1 : 0; k < 5; ++k) {
    const unsigned d = static_cast<unsigned char>(f[k]) - unsigned{'0'};
    if (d > 9) {
      plain = false;
      break;
    }
    v = v * 10 + static_cast<int32_t>(d);
  }
  if (plain) return negative ? -v : v;
  char text[5];
  std::memcpy(text, f, 5);
  for (int k = 0; k < 4 && text[k] == '0'; ++k) text[k] = ' ';
  return parseInt(std::string_view(text, 5));
}

bool tryAltitudeField(const char* f, int32_t& value) {
  try {
    value = altitudeField(f);
    return true;
  } catch (const RunError&) {
    return false;
  }
}

struct IgcScan {
  int32_t fixes = 0;
  int32_t previousTime = 0;   // seconds of the day of the previous fix
  double lastStep = 0;        // time step of the last fix (from the second fix on)
  bool allPressureZero = true;
  bool gnssReadable = true;   // every fix so far has a readable GNSS altitude
  int32_t startLatRaw = 0, startLonRaw = 0;
};

// One B line (at least one character long) into the next staging slot.
void stageFix(LoadStaging& st, IgcScan& scan, const char* b, qsizetype length) {
  if (length < kMinFixLength) throw RunError::range();
  if (scan.fixes >= kMaxFlightPoints) throw RunError::range();  // plumb lines need two entries per fix
  StagedPoint& pt = st.points[scan.fixes];

  const int32_t seconds = fieldInt(b + 5, 2);
  const int32_t time = fieldInt(b + 1, 2) * 3600 + fieldInt(b + 3, 2) * 60 + seconds;
  if (scan.fixes == 0) {
    pt.timeStep = 2.0;
  } else {
    int32_t step = time - scan.previousTime;
    if (step < 0) step += kSecondsPerDay;  // past midnight
    pt.timeStep = step;
    scan.lastStep = step;
  }
  scan.previousTime = time;

  int32_t lat = fieldInt(b + 7, 7);
  if (b[14] == 'S') lat = -lat;
  int32_t lon = fieldInt(b + 15, 8);
  if (b[23] == 'W') lon = -lon;
  pt.lat = loggerDegrees(lat);
  pt.lon = loggerDegrees(lon);

  const int32_t pressure = altitudeField(b + 25);
  pt.altitude = pressure;
  // Recorders without a barometer write 00000 for every fix; their GNSS
  // altitude then stands in, so keep it while no real pressure altitude showed up.
  if (scan.allPressureZero) {
    if (pressure != 0)
      scan.allPressureZero = false;
    else if (length < kMinGnssLength || !tryAltitudeField(b + 30, pt.gnssAltitude))
      scan.gnssReadable = false;
  }
  if (scan.fixes == 0) {
    scan.startLatRaw = lat;
    scan.startLonRaw = lon;
  }
  ++scan.fixes;
}

void commit(FlightData& data, const LoadStaging& st, const IgcScan& scan) {
  const int32_t last = scan.fixes - 1;
  const bool useGnss = scan.fixes > 0 && scan.allPressureZero && scan.gnssReadable;
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
    origin = {st.points[0].lat, st.points[0].lon, altitudeOf(0)};
  }
  data.LastPoint = last;
  data.RangeStart = 0;
  data.RangeEnd = last;
  writeFlightFrame(data, last, origin, [&](int32_t i, FlightPoint& p) {
    const StagedPoint& s = st.points[i];
    p.Lat = s.lat;
    p.Lon = s.lon;
    p.Altitude = altitudeOf(i);
    p.Pen = i == 0 ? kPenMove : kPenLine;
    p.Color = colours::kBlue;
    p.TimeStep = s.timeStep;
  });
}

}  // namespace

void loadIgc(FlightData& data, LoadStaging& staging, QByteArrayView bytes, const QString& fileName) {
  const char* p = bytes.data();
  const char* const end = textEnd(p, p + bytes.size());
  IgcScan scan;
  int line = 0;
  try {
    while (p < end) {
      ++line;
      const char* const lineStart = p;
      const char* const lineEnd = findLineEnd(p, end);
      p = afterLineEnd(lineEnd, end);
      if (lineEnd != lineStart && *lineStart == 'B') stageFix(staging, scan, lineStart, lineEnd - lineStart);
    }
  } catch (const RunError& e) {
    throw atFileLine(e, fileName, line);
  }
  commit(data, staging, scan);
}
