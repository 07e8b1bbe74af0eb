#include "import/IgcReader.h"

#include "import/AltitudeSource.h"
#include "import/Coordinates.h"
#include "import/PlainDigits.h"
#include "import/SizedToFile.h"
#include "import/TextLines.h"
#include "import/UtcTime.h"
#include "model/Numbers.h"

#include <QStringDecoder>

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

// What the file said so far, parsed into the flight's own vectors.
struct IgcScan {
  Flight flight;
  // Per fix: seconds from the midnight of the last date record before it,
  // and the pressure altitude (the GNSS altitude may stand in at the end).
  std::vector<double> time;
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
  // Per fix: the minutes that the LAD and LOD extensions add to the
  // latitude and longitude (always positive; the hemisphere gives the sign).
  // Empty when the file has neither.
  std::vector<double> latMinutes, lonMinutes;
  // E records: the fix that follows each and the event's second of the day.
  struct Event {
    int32_t nextFix;
    int32_t secondOfDay;
    QString code;
  };
  std::vector<Event> events;

  int32_t fixes() const { return static_cast<int32_t>(flight.fixes.size()); }
};

// One B line (at least one character long) into the next fix.
void readFix(IgcScan& scan, const char* b, qsizetype length) {
  if (length < kMinFixLength) throw RunError::range();
  if (isPlaceholderPosition(b)) return;
  const int32_t n = scan.fixes();
  if (n >= kMaxFlightPoints) throw RunError::tooManyPoints(kMaxFlightPoints);  // plumb lines need two entries per fix

  const int32_t seconds = fieldInt(b + 5, 2);
  const int32_t time = fieldInt(b + 1, 2) * 3600 + fieldInt(b + 3, 2) * 60 + seconds;
  double step = 2.0;
  if (n > 0) {
    step = fixTimeStep(scan.previousTime, time);
    scan.lastStep = step;
    // A clock that ran past midnight adds a day, unless a date record between
    // the two fixes already names the new day.
    if (time < scan.previousTime && step > 0 && !scan.newDate) ++scan.midnights;
  }

  int32_t lat = fieldInt(b + 7, 7);
  if (b[14] == 'S') lat = -lat;
  int32_t lon = fieldInt(b + 15, 8);
  if (b[23] == 'W') lon = -lon;

  const int32_t pressure = altitudeField(b + 25);
  // Recorders without a barometer write 00000 for every fix; their GNSS
  // altitude then stands in while no real pressure altitude showed up. The
  // exports take it wherever a fix has one.
  int32_t gnssAltitude = 0;
  const bool gnss = length >= kMinGnssLength && tryAltitudeField(b + 30, gnssAltitude);
  if (!gnss) gnssAltitude = 0;
  if (scan.allPressureZero) {
    if (pressure != 0)
      scan.allPressureZero = false;
    else if (!gnss)
      scan.gnssReadable = false;
  }
  if (n == 0) {
    scan.startLatRaw = lat;
    scan.startLonRaw = lon;
  }
  // Every field was read: only now does the fix count.
  scan.previousTime = time;
  scan.newDate = false;
  scan.flight.fixes.push_back({loggerDegrees(lat), loggerDegrees(lon), 0.0, double(pressure), step});
  scan.flight.gnssAltitude.push_back(gnssAltitude);
  scan.time.push_back(scan.midnights * double(kSecondsPerDay) + time);
}

// A date record: the fixes after it were flown on that day. The same date
// again (some recorders repeat their header) changes nothing.
void noteDate(IgcScan& scan, std::string_view line) {
  const std::optional<double> date = igcDate(line);
  if (!date) return;
  if (scan.dates.empty()) {
    scan.dates.push_back({0, *date});
  } else if (*date != scan.dates.back().date) {
    scan.dates.push_back({scan.fixes(), *date});
    scan.midnights = 0;
    scan.newDate = true;
  }
}

// A header text as recorders write it: ASCII, UTF-8 or Latin-1.
QString headerText(std::string_view text) {
  QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
  QString s = utf8(QByteArrayView(text.data(), qsizetype(text.size())));
  if (utf8.hasError()) s = QString::fromLatin1(text.data(), qsizetype(text.size()));
  return s;
}

// "HFPLTPILOTINCHARGE:Name", "HFGTYGLIDERTYPE:Type", "HFGIDGLIDERID:D-1234"
// (any source letter, any long name): the first value the file gives.
void noteHeaderValue(IgcExtras& x, std::string_view line) {
  if (line.size() < 5) return;
  const std::string_view code = line.substr(2, 3);
  QString* const field = code == "PLT"   ? &x.pilot
                         : code == "GTY" ? &x.gliderType
                         : code == "GID" ? &x.gliderId
                                         : nullptr;
  if (!field || !field->isEmpty()) return;
  const size_t colon = line.find(':');
  std::string_view value = trimmedBlanks(line.substr(colon == std::string_view::npos ? 5 : colon + 1));
  // Some recorders end each value with a comma.
  while (!value.empty() && value.back() == ',') value = trimmedBlanks(value.substr(0, value.size() - 1));
  // "not known", "nil": placeholders, no name.
  if (value == "NKN" || value == "NIL" || value == "nkn" || value == "nil") return;
  *field = headerText(value);
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

// The extension values of the fix just read as number `fix`.
void readExtensions(IgcScan& scan, std::string_view b, int32_t fix) {
  auto level = [&](std::vector<int16_t>& values, IgcScan::Field f) {
    if (f.count == 0) return;
    values.resize(size_t(fix), -1);
    values.push_back(int16_t(std::min(extensionValue(b, f), 999)));
  };
  level(scan.flight.igc.enl, scan.enl);
  level(scan.flight.igc.mop, scan.mop);
  auto minutes = [&](std::vector<double>& values, IgcScan::Field f) {
    if (f.count == 0) return;
    values.resize(size_t(fix), 0.0);
    const int32_t v = extensionValue(b, f);
    values.push_back(v < 0 ? 0.0 : v / std::pow(10.0, 3 + f.count));
  };
  minutes(scan.latMinutes, scan.lad);
  minutes(scan.lonMinutes, scan.lod);
}

// A C record: the header of a declaration (which starts the task anew) or
// one of its points. Anything else is passed over.
void readTaskRecord(IgcExtras& x, std::string_view line) {
  // The header: date and time of the declaration, flight date, task number, turnpoints.
  if (line.size() >= 25 && digitsOf(line.substr(1, 8)) >= 0 && digitsOf(line.substr(9, 8)) >= 0 &&
      digitsOf(line.substr(17, 8)) >= 0) {
    x.task.clear();
    return;
  }
  if (line.size() < 18) return;
  const int32_t lat = digitsOf(line.substr(1, 7)), lon = digitsOf(line.substr(9, 8));
  const char ns = line[8], ew = line[17];
  if (lat < 0 || lon < 0 || (ns != 'N' && ns != 'S') || (ew != 'E' && ew != 'W')) return;
  if (lat % 100000 >= 60000 || lon % 100000 >= 60000 || lat > 9000000 || lon > 18000000) return;
  if (x.task.size() >= kMaxTaskPoints) return;
  trelvano::TaskPoint p;
  p.lat = loggerDegrees(ns == 'S' ? -lat : lat);
  p.lon = loggerDegrees(ew == 'W' ? -lon : lon);
  p.placeholder = lat == 0 && lon == 0;
  p.name = QString::fromLatin1(line.substr(18).data(), qsizetype(line.size() - 18)).trimmed();
  x.task.push_back(p);
}

// An E record: "E HHMMSS CCC …", passed over unless time and code are readable.
void readEventRecord(IgcScan& scan, std::string_view line) {
  if (line.size() < 10 || scan.events.size() >= kMaxEvents) return;
  const int32_t h = digitsOf(line.substr(1, 2)), m = digitsOf(line.substr(3, 2)), s = digitsOf(line.substr(5, 2));
  if (h < 0 || m < 0 || s < 0 || h > 23 || m > 59 || s > 59) return;
  for (char c : line.substr(7, 3))
    if (!((c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9'))) return;
  scan.events.push_back({scan.fixes(), h * 3600 + m * 60 + s, QString::fromLatin1(line.substr(7, 3).data(), 3)});
}

void readOtherRecord(IgcScan& scan, std::string_view line) {
  switch (line[0]) {
    case 'C': readTaskRecord(scan.flight.igc, line); break;
    case 'E': readEventRecord(scan, line); break;
    case 'I': readExtensionRecord(scan, line); break;
    case 'G': scan.flight.igc.securityRecord = true; break;
    default: break;
  }
}

// The events at their fixes. They come in file order: the flight's time at
// their fix runs along with them.
void placeEvents(IgcScan& scan) {
  const std::vector<Fix>& fixes = scan.flight.fixes;
  const int32_t count = scan.fixes();
  int32_t reached = 0;
  double elapsed = 0;  // seconds from the first fix to fix `reached`, by the flight's steps
  for (const IgcScan::Event& e : scan.events) {
    const int32_t k = std::min(e.nextFix, count - 1);
    for (; reached < k; ++reached) elapsed += fixes[size_t(reached) + 1].TimeStep;
    // The event's clock against its fix's, across midnight either way.
    double delta = e.secondOfDay - std::fmod(scan.time[size_t(k)], double(kSecondsPerDay));
    if (delta >= kHalfDay) delta -= kSecondsPerDay;
    if (delta < -kHalfDay) delta += kSecondsPerDay;
    scan.flight.igc.events.push_back({k, elapsed + delta, e.code});
  }
}

// The UTC time of each fix from the dated runs.
std::vector<double> fixTimes(const IgcScan& scan) {
  std::vector<double> utc(scan.flight.fixes.size());
  size_t run = 0;
  double lastTime = -std::numeric_limits<double>::infinity();
  for (size_t i = 0; i < utc.size(); ++i) {
    while (run + 1 < scan.dates.size() && size_t(scan.dates[run + 1].firstFix) <= i) ++run;
    // Where the recorder set its clock back the flight counts no time, and
    // the times go on by the flight's own steps from there: they never run backwards.
    lastTime = std::max(scan.dates[run].date + scan.time[i], lastTime + scan.flight.fixes[i].TimeStep);
    utc[i] = lastTime;
  }
  return utc;
}

// The fixes as the flight shows them, once the whole file was read.
void finishFixes(IgcScan& scan, bool useGnss) {
  Flight& f = scan.flight;
  const size_t count = f.fixes.size();
  if (useGnss)
    for (size_t i = 0; i < count; ++i) f.fixes[i].Altitude = f.gnssAltitude[i];
  // The further digits of LAD and LOD, in degrees towards the hemisphere's side.
  auto finer = [](const std::vector<double>& minutes, size_t i, double degrees) {
    if (i >= minutes.size()) return 0.0;
    return (degrees < 0 ? -minutes[i] : minutes[i]) / 60;
  };
  if (!scan.latMinutes.empty() || !scan.lonMinutes.empty())
    for (size_t i = 0; i < count; ++i) {
      Fix& p = f.fixes[i];
      p.Lat += finer(scan.latMinutes, i, p.Lat);
      p.Lon += finer(scan.lonMinutes, i, p.Lon);
    }
  if (!f.igc.enl.empty()) f.igc.enl.resize(count, -1);
  if (!f.igc.mop.empty()) f.igc.mop.resize(count, -1);
}

}  // namespace

Flight readIgc(QByteArrayView bytes, const QString& fileName) {
  const char* p = bytes.data();
  const char* const end = p + bytes.size();
  IgcScan scan;
  Flight& flight = scan.flight;
  flight.fileName = fileName;
  flight.kind = FlightKind::Igc;
  reserveForFile(flight.fixes, bytes.size(), kMinFixLength + 1, kMaxFlightPoints);
  reserveForFile(flight.gnssAltitude, bytes.size(), kMinFixLength + 1, kMaxFlightPoints);
  reserveForFile(scan.time, bytes.size(), kMinFixLength + 1, kMaxFlightPoints);
  int line = 0;
  try {
    while (p < end) {
      ++line;
      const char* const lineStart = p;
      const char* const lineEnd = findLineEnd(p, end);
      if (lineEnd != lineStart && *lineStart == 'B') {
        const int32_t fix = scan.fixes();
        readFix(scan, lineStart, lineEnd - lineStart);
        if (scan.extensions && scan.fixes() > fix)
          readExtensions(scan, std::string_view(lineStart, size_t(lineEnd - lineStart)), fix);
      } else if (lineEnd != lineStart && *lineStart == 'H') {
        const std::string_view h(lineStart, size_t(lineEnd - lineStart));
        noteDate(scan, h);
        noteHeaderValue(flight.igc, h);
      } else if (lineEnd != lineStart) {
        readOtherRecord(scan, std::string_view(lineStart, size_t(lineEnd - lineStart)));
      }
      if (lineEnd == end || *lineEnd == kCtrlZ) break;  // Ctrl-Z ends the file
      p = afterLineEnd(lineEnd, end);
    }
  } catch (const RunError& e) {
    throw atFileLine(e, fileName, line);
  }
  if (flight.fixes.empty()) throw inFile(RunError::noFlightData(), fileName);

  const bool useGnss = scan.allPressureZero && scan.gnssReadable;
  finishFixes(scan, useGnss);
  placeEvents(scan);
  if (!scan.dates.empty()) {
    flight.utc = fixTimes(scan);
    flight.igc.date = scan.dates.front().date;
  }
  fitToSize(flight.fixes);
  fitToSize(flight.gnssAltitude);
  flight.start = {double(scan.startLatRaw), double(scan.startLonRaw), flight.fixes[0].Altitude};
  if (flight.fixes.size() >= 2) flight.sampleInterval = scan.lastStep;
  flight.altitudeLabel = useGnss ? altitudeLabel(-1) : pressureAltitudeLabel();
  flight.igc.gnssAboveEllipsoid = igcGnssAboveEllipsoid(bytes);
  flight.ellipsoidalHeights = useGnss && flight.igc.gnssAboveEllipsoid;
  return flight;
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
