#include "import/GpxReader.h"

#include "import/AltitudeSource.h"
#include "import/Coordinates.h"
#include "import/TextLines.h"
#include "import/UtcTime.h"

#include <expat.h>

#include <algorithm>
#include <cctype>
#include <charconv>
#include <climits>
#include <cmath>
#include <cstring>
#include <limits>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace trelvano {

namespace {

constexpr double kNoPointTime = std::numeric_limits<double>::quiet_NaN();
constexpr double kFirstStep = 2.0;        // as the IGC reader's first fix
constexpr double kStepWithoutTime = 1.0;  // a point or its predecessor has no time

// Names come as "namespace\1local" where the element or attribute has a
// namespace: \1 is no character of an XML 1.0 document, so no namespace holds it.
constexpr XML_Char kNamespaceEnd = '\1';

// What an element is to the reader, by its local name and its parent's:
// gpx → trk → trkseg → trkpt and gpx → rte → rtept, then ele and time.
enum class Role : uint8_t { Document, Gpx, Track, Segment, Route, Point, Ele, Time, Other };
constexpr int kDeepest = 5;  // gpx trk trkseg trkpt ele

std::string_view localName(const XML_Char* name) {
  const std::string_view n(name);
  const size_t end = n.rfind(kNamespaceEnd);
  return end == std::string_view::npos ? n : n.substr(end + 1);
}

Role roleOf(Role parent, std::string_view name) {
  switch (parent) {
    case Role::Document: return name == "gpx" ? Role::Gpx : Role::Other;
    case Role::Gpx: return name == "trk" ? Role::Track : name == "rte" ? Role::Route : Role::Other;
    case Role::Track: return name == "trkseg" ? Role::Segment : Role::Other;
    case Role::Segment: return name == "trkpt" ? Role::Point : Role::Other;
    case Role::Route: return name == "rtept" ? Role::Point : Role::Other;
    case Role::Point: return name == "ele" ? Role::Ele : name == "time" ? Role::Time : Role::Other;
    default: return Role::Other;
  }
}

// A number as GPX files write it ("47.1", "-12.5", "+3", "4.75e1"), blanks
// around it allowed. Nothing for blanks only; false for any other text or a
// number beyond the double range.
bool readNumber(std::string_view text, std::optional<double>& value) {
  text = trimmedBlanks(text);
  value.reset();
  if (text.empty()) return true;
  if (text.front() == '+') {
    text.remove_prefix(1);
    if (text.empty() || text.front() == '-') return false;
  }
  double v;
  const std::from_chars_result r = std::from_chars(text.data(), text.data() + text.size(), v);
  if (r.ec != std::errc() || r.ptr != text.data() + text.size() || !std::isfinite(v)) return false;
  value = v;
  return true;
}

// Windows-1252, which programs on Windows declare; expat itself knows
// UTF-8, UTF-16, ISO-8859-1 and US-ASCII.
int XMLCALL windowsEncoding(void*, const XML_Char* name, XML_Encoding* info) {
  const std::string_view n(name);
  auto is = [&n](std::string_view other) {
    return n.size() == other.size() && std::equal(n.begin(), n.end(), other.begin(), [](char a, char b) {
             return std::tolower(static_cast<unsigned char>(a)) == b;
           });
  };
  if (!is("windows-1252") && !is("cp1252")) return XML_STATUS_ERROR;
  // 0x80 … 0x9F; -1 where the code page leaves a byte undefined.
  static constexpr int kHigh[32] = {0x20AC, -1,     0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, -1,     0x017D, -1,
                                    -1,     0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, -1,     0x017E, 0x0178};
  for (int b = 0; b < 256; ++b) info->map[b] = b >= 0x80 && b < 0xA0 ? kHigh[b - 0x80] : b;
  info->data = nullptr;
  info->convert = nullptr;
  info->release = nullptr;
  return XML_STATUS_OK;
}

// One parsed track or route point.
struct GpxPoint {
  double lat, lon;  // degrees
  double altitude;  // metres, 0 where the file gave none
  double time;      // seconds since 1970 UTC, NaN where the file gave none
};

struct GpxRead {
  explicit GpxRead(XML_Parser p) : parser(p) {}
  XML_Parser parser;
  std::vector<GpxPoint> kept;  // the points of the kind in use, up to the most a flight holds
  int depth = 0;
  Role roles[kDeepest + 1] = {Role::Document};
  int32_t points = 0;              // of the kind in use, kept or not
  bool tracks = false;             // a track point was seen: route points no longer count
  XML_Size routeOverflowLine = 0;  // the first route point beyond the capacity
  GpxPoint point{};
  std::string value;  // the text of the ele or time being read
  XML_Size valueLine = 0;
  std::optional<RunError> failure;  // found by a handler, which stops the parser
  XML_Size failureLine = 0;

  XML_Size line() const { return XML_GetCurrentLineNumber(parser); }
  void fail(const RunError& e, XML_Size at) {
    failure = e;
    failureLine = at;
    XML_StopParser(parser, XML_FALSE);
  }
  Role role() const { return depth <= kDeepest ? roles[depth] : Role::Other; }
};

// lat or lon of a point's start tag: a number within ±limit.
bool coordinate(const XML_Char** attributes, const char* name, double limit, double& value) {
  for (; *attributes; attributes += 2) {
    if (std::strcmp(attributes[0], name) != 0) continue;
    std::optional<double> v;
    if (!readNumber(attributes[1], v) || !v || !(std::fabs(*v) <= limit)) return false;
    value = *v;
    return true;
  }
  return false;
}

// The start of a track or route point; false where it does not count.
bool startPoint(GpxRead& r, bool track, const XML_Char** attributes) {
  if (track && !r.tracks) {
    r.tracks = true;  // the routes read so far give way to the tracks
    r.points = 0;
    r.kept.clear();
  } else if (!track && r.tracks) {
    return false;
  }
  const XML_Size line = r.line();
  double lat = 0, lon = 0;
  if (!coordinate(attributes, "lat", 90, lat) || !coordinate(attributes, "lon", 180, lon)) {
    r.fail(RunError::invalidGpx(), line);
    return false;
  }
  if (r.points >= kMaxFlightPoints) {
    if (track) {
      r.fail(RunError::tooManyPoints(kMaxFlightPoints), line);
      return false;
    }
    if (r.routeOverflowLine == 0) r.routeOverflowLine = line;
  }
  r.point = {lat, lon, 0, kNoPointTime};
  return true;
}

void XMLCALL onStart(void* user, const XML_Char* name, const XML_Char** attributes) {
  GpxRead& r = *static_cast<GpxRead*>(user);
  if (r.failure) return;
  const Role parent = r.role();
  Role role = parent == Role::Other ? Role::Other : roleOf(parent, localName(name));
  if (role == Role::Point && !startPoint(r, parent == Role::Segment, attributes)) role = Role::Other;
  if (role == Role::Ele || role == Role::Time) {
    r.value.clear();
    r.valueLine = r.line();
  }
  if (++r.depth <= kDeepest) r.roles[r.depth] = role;
}

void XMLCALL onEnd(void* user, const XML_Char*) {
  GpxRead& r = *static_cast<GpxRead*>(user);
  if (r.failure) return;
  switch (r.role()) {
    case Role::Point:
      if (r.points < kMaxFlightPoints) r.kept.push_back(r.point);
      ++r.points;
      break;
    case Role::Ele: {
      std::optional<double> ele;
      if (!readNumber(r.value, ele)) return r.fail(RunError::invalidGpx(), r.valueLine);
      r.point.altitude = ele.value_or(0);
      break;
    }
    case Role::Time:
      // A time that cannot be read counts as none: the point then steps 1 s.
      r.point.time = parseIsoTime(r.value).value_or(kNoPointTime);
      break;
    default: break;
  }
  --r.depth;
}

// The text of an ele or time; the text of elements inside them is passed over.
void XMLCALL onText(void* user, const XML_Char* text, int length) {
  GpxRead& r = *static_cast<GpxRead*>(user);
  const Role role = r.role();
  if (role == Role::Ele || role == Role::Time) r.value.append(text, size_t(length));
}

int lineOf(XML_Size line) { return line > INT_MAX ? INT_MAX : int(line); }

// The points of `bytes`, of the tracks or (without track points) of the routes.
std::vector<GpxPoint> readGpxPoints(QByteArrayView bytes, const QString& fileName) {
  // Namespaces are resolved, so a prefix that is not declared is a fault and
  // any prefix of a GPX element does. External entities are never loaded
  // (no handler for them), and expat's limit on entity expansion stays on.
  const XML_Parser parser = XML_ParserCreateNS(nullptr, kNamespaceEnd);
  if (!parser) throw std::bad_alloc();
  struct Free {
    XML_Parser p;
    ~Free() { XML_ParserFree(p); }
  } freeAtEnd{parser};
  GpxRead r(parser);
  XML_SetUserData(parser, &r);
  XML_SetElementHandler(parser, onStart, onEnd);
  XML_SetCharacterDataHandler(parser, onText);
  XML_SetUnknownEncodingHandler(parser, windowsEncoding, nullptr);
  XML_SetParamEntityParsing(parser, XML_PARAM_ENTITY_PARSING_NEVER);

  // In one piece where the size fits expat's int.
  const char* p = bytes.data();
  qsizetype left = bytes.size();
  XML_Status status;
  do {
    const int piece = int(std::min<qsizetype>(left, 1 << 30));
    left -= piece;
    status = XML_Parse(parser, p, piece, left == 0);
    p += piece;
  } while (status == XML_STATUS_OK && left > 0);
  if (r.failure) throw atFileLine(*r.failure, fileName, lineOf(r.failureLine));
  if (status != XML_STATUS_OK)
    throw atFileLine(RunError::invalidGpx(), fileName, lineOf(XML_GetCurrentLineNumber(parser)));
  if (!r.tracks && r.routeOverflowLine != 0)
    throw atFileLine(RunError::tooManyPoints(kMaxFlightPoints), fileName, lineOf(r.routeOverflowLine));
  if (r.points == 0) throw inFile(RunError::noFlightData(), fileName);
  return std::move(r.kept);
}

double timeStep(const std::vector<GpxPoint>& pts, size_t i) {
  if (i == 0) return kFirstStep;
  const double step = pts[i].time - pts[i - 1].time;
  if (std::isnan(step)) return kStepWithoutTime;
  return step > 0 ? step : 0;  // a time that goes back counts 0 s, as a recorder's clock correction
}

}  // namespace

bool isGpxFileName(const QString& path) { return path.endsWith(QLatin1String(".gpx"), Qt::CaseInsensitive); }

Flight readGpx(QByteArrayView bytes, const QString& fileName) {
  const std::vector<GpxPoint> pts = readGpxPoints(bytes, fileName);
  Flight flight;
  flight.fileName = fileName;
  flight.kind = FlightKind::Gpx;
  flight.fixes.resize(pts.size());
  bool anyTime = false;
  for (size_t i = 0; i < pts.size(); ++i) {
    flight.fixes[i] = {pts[i].lat, pts[i].lon, 0.0, pts[i].altitude, timeStep(pts, i)};
    anyTime = anyTime || !std::isnan(pts[i].time);
  }
  if (anyTime) {
    flight.utc.resize(pts.size());
    for (size_t i = 0; i < pts.size(); ++i) flight.utc[i] = pts[i].time;
  }
  flight.start = {loggerForm(pts[0].lat), loggerForm(pts[0].lon), pts[0].altitude};
  if (pts.size() >= 2) flight.sampleInterval = flight.fixes.back().TimeStep;
  flight.altitudeLabel = altitudeLabel(-1);
  return flight;
}

}  // namespace trelvano
