#include "import/GpxPoints.h"
#include "import/LoadStagingData.h"
#include "import/PlainXmlScanner.h"
#include "import/TextLines.h"
#include "import/UtcTime.h"

#include <bit>
#include <charconv>
#include <cstring>
#include <cmath>

namespace {

using Token = PlainXmlScanner::Token;

// What an element is to the reader: decided by its name and its parent's role,
// as the XML reader walks gpx → trk → trkseg → trkpt and gpx → rte → rtept.
enum class Role : uint8_t { Document, Gpx, Track, Segment, Route, Point, Ele, Time, Other };

bool isDigit(char c) { return c >= '0' && c <= '9'; }

// Eight ASCII digits at p as a number, all at once (little-endian machines;
// elsewhere the digit loop does it).
bool eightDigits(const char* p, uint64_t& value) {
  if constexpr (std::endian::native != std::endian::little) return false;
  uint64_t v;
  std::memcpy(&v, p, 8);
  if ((((v + 0x4646464646464646) | (v - 0x3030303030303030)) & 0x8080808080808080) != 0) return false;
  v -= 0x3030303030303030;
  v = v * 10 + (v >> 8);  // pairs of digits
  constexpr uint64_t kMask = 0x000000FF000000FF;
  value = (((v & kMask) * (100 + (1000000ULL << 32))) + (((v >> 16) & kMask) * (1 + (10000ULL << 32)))) >> 32;
  return true;
}

constexpr double kPowersOfTen[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,  1e8,  1e9,  1e10, 1e11,
                                   1e12, 1e13, 1e14, 1e15, 1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};

// "-12.5": the decimals writers emit, which QString::toDouble reads to the
// same double. Nothing for other forms (exponents, "+", ".5", long digit
// strings), which the XML reader judges.
std::optional<double> plainDecimal(std::string_view text) {
  constexpr size_t kLongest = 40;
  if (text.empty() || text.size() > kLongest) return std::nullopt;
  const char* p = text.data();
  const char* const end = p + text.size();
  const bool negative = *p == '-';
  p += negative;
  const char* const first = p;
  uint64_t mantissa = 0;  // wraps beyond 19 digits, but is used only up to 15
  while (p < end && isDigit(*p)) mantissa = mantissa * 10 + uint64_t(*p++ - '0');
  const size_t intDigits = size_t(p - first);
  if (intDigits == 0) return std::nullopt;
  size_t fractionDigits = 0;
  if (p < end && *p == '.') {
    const char* const fraction = ++p;
    for (uint64_t eight; end - p >= 8 && eightDigits(p, eight); p += 8) mantissa = mantissa * 100000000 + eight;
    while (p < end && isDigit(*p)) mantissa = mantissa * 10 + uint64_t(*p++ - '0');
    fractionDigits = size_t(p - fraction);
    if (fractionDigits == 0) return std::nullopt;
  }
  if (p != end) return std::nullopt;
  // Up to 15 digits and their power of ten are exact in a double, so one
  // division rounds correctly (Clinger's fast path), as from_chars would.
  if (intDigits + fractionDigits <= 15) {
    const double v = double(mantissa) / kPowersOfTen[fractionDigits];
    return negative ? -v : v;
  }
  double v;
  const std::from_chars_result r = std::from_chars(text.data(), end, v);
  if (r.ec != std::errc() || r.ptr != end) return std::nullopt;
  return v;
}

std::optional<double> coordinate(const PlainXmlScanner::Attribute& a, double limit) {
  if (a.hasReferences) return std::nullopt;
  const std::optional<double> v = plainDecimal(trimmedBlanks(a.rawValue));
  if (!v || !(std::fabs(*v) <= limit)) return std::nullopt;
  return v;
}

bool endsWith(std::string_view text, std::string_view end) {
  return text.size() >= end.size() && text.substr(text.size() - end.size()) == end;
}

// lat and lon of a point's start tag, found by the name as written.
bool readPosition(const PlainXmlScanner& xml, StagedGpxPoint& p) {
  std::optional<double> lat, lon;
  for (int i = 0; i < xml.attributeCount(); ++i) {
    const PlainXmlScanner::Attribute& a = xml.attribute(i);
    if (a.name == "lat") {
      if (!(lat = coordinate(a, 90))) return false;
    } else if (a.name == "lon") {
      if (!(lon = coordinate(a, 180))) return false;
    } else if (endsWith(a.name, ":lat") || endsWith(a.name, ":lon")) {
      return false;  // which of the two counts is the XML reader's matter
    }
  }
  if (!lat || !lon) return false;
  p = {*lat, *lon, 0, kNoPointTime};
  return true;
}

// An empty ele is 0 m, as in the XML reader.
bool readEle(std::string_view text, double& altitude) {
  text = trimmedBlanks(text);
  if (text.empty()) {
    altitude = 0;
    return true;
  }
  const std::optional<double> v = plainDecimal(text);
  if (v) altitude = *v;
  return v.has_value();
}

}  // namespace

std::optional<int32_t> stageGpxPointsFast(LoadStaging& staging, QByteArrayView bytes) {
  PlainXmlScanner xml(std::string_view(bytes.data(), size_t(bytes.size())));
  Role roles[PlainXmlScanner::kMaxDepth + 1];
  roles[0] = Role::Document;
  int32_t points = 0;  // of the kind in use
  bool tracks = false;  // a track point was seen: route points no longer count
  StagedGpxPoint point{};
  std::string_view value;  // the text of the current ele or time
  bool valueSeen = false;
  bool valueIsAscii = true;
  for (;;) {
    switch (xml.next()) {
      case Token::StartElement: {
        const Role parent = roles[xml.depth() - 1];
        const std::string_view name = xml.localName();
        Role role = Role::Other;
        switch (parent) {
          case Role::Document:
            if (name != "gpx") return std::nullopt;  // no points: the XML reader says so
            role = Role::Gpx;
            break;
          case Role::Gpx:
            role = name == "trk" ? Role::Track : name == "rte" ? Role::Route : Role::Other;
            break;
          case Role::Track:
            if (name == "trkseg") role = Role::Segment;
            break;
          case Role::Segment:
          case Role::Route: {
            const bool track = parent == Role::Segment;
            if (name != (track ? "trkpt" : "rtept")) break;
            if (track && !tracks) {
              tracks = true;  // the routes read so far give way to the tracks
              points = 0;
            } else if (!track && tracks) {
              break;
            }
            if (points == kMaxFlightPoints || !readPosition(xml, point)) return std::nullopt;
            role = Role::Point;
            break;
          }
          case Role::Point:
            if (name == "ele" || name == "time") {
              role = name == "ele" ? Role::Ele : Role::Time;
              value = {};
              valueSeen = false;
              valueIsAscii = true;
            }
            break;
          case Role::Ele:
          case Role::Time:
            return std::nullopt;  // markup inside a value
          case Role::Other:
            break;
        }
        roles[xml.depth()] = role;
        break;
      }
      case Token::Text: {
        const Role role = roles[xml.depth()];
        if (role != Role::Ele && role != Role::Time) break;
        // A value split by a comment, or with references, is the XML reader's.
        if (valueSeen || xml.textHasReferences()) return std::nullopt;
        value = xml.text();
        valueSeen = true;
        valueIsAscii = xml.textIsAscii();
        break;
      }
      case Token::EndElement:
        switch (roles[xml.depth()]) {
          case Role::Ele:
            if (!readEle(value, point.altitude)) return std::nullopt;
            break;
          case Role::Time:
            // Qt trims blanks beyond ASCII, which the byte reading does not know.
            if (!valueIsAscii) return std::nullopt;
            point.time = parseIsoTime(value).value_or(kNoPointTime);
            break;
          case Role::Point:
            staging.gpxPoints[points++] = point;
            break;
          default:
            break;
        }
        break;
      case Token::EndOfDocument:
        if (points == 0) return std::nullopt;
        return points;
      case Token::Declined:
        return std::nullopt;
    }
  }
}
