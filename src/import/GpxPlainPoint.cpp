#include "import/GpxPlainPoint.h"

#include "import/PlainDecimal.h"
#include "import/UtcTime.h"
#include "import/XmlByteRuns.h"

#include <cmath>
#include <cstddef>
#include <limits>

namespace trelvano {

namespace {

bool isSpace(char c) { return c == ' ' || c == '\n' || c == '\r' || c == '\t'; }

const char* skipSpaces(const char* p, const char* end) {
  while (p < end && isSpace(*p)) ++p;
  return p;
}

// A loop, not memcmp: the texts are a few bytes, and a call costs more.
bool startsWith(const char* p, const char* end, std::string_view text) {
  if (size_t(end - p) < text.size()) return false;
  for (const char c : text)
    if (*p++ != c) return false;
  return true;
}

// `= "47.1"` behind an attribute's name: the position behind the closing quote.
const char* readCoordinate(const char* p, const char* end, double limit, double& value) {
  p = skipSpaces(p, end);
  if (p == end || *p != '=') return nullptr;
  p = skipSpaces(p + 1, end);
  if (p == end || (*p != '"' && *p != '\'')) return nullptr;
  const char quote = *p;
  p = readPlainDecimal(p + 1, end, value);
  if (!p || p == end || *p != quote || !(std::fabs(value) <= limit)) return nullptr;
  return p + 1;
}

// The text of a time element up to its end tag: ASCII without markup,
// references or control characters.
const char* timeTextEnd(const char* p, const char* end) {
  using namespace xmlruns;
  auto bytes = [](const char* c) { return reinterpret_cast<const unsigned char*>(c); };
  return reinterpret_cast<const char*>(runEnd<Text>(bytes(p), bytes(end)));
}

}  // namespace

const char* readPlainPoint(const char* p, const char* const end, std::string_view name, StagedGpxPoint& point) {
  p = skipSpaces(p, end);
  if (p == end || *p != '<' || !startsWith(p + 1, end, name)) return nullptr;
  p += 1 + name.size();

  double lat = 0, lon = 0;
  bool haveLat = false, haveLon = false;
  for (;;) {
    const char* const before = p;
    p = skipSpaces(p, end);
    if (p == end) return nullptr;
    if (*p == '>') {
      ++p;
      break;
    }
    if (p == before) return nullptr;  // attributes stand apart from the name and each other
    if (!haveLat && startsWith(p, end, "lat")) {
      p = readCoordinate(p + 3, end, 90, lat);
      haveLat = true;
    } else if (!haveLon && startsWith(p, end, "lon")) {
      p = readCoordinate(p + 3, end, 180, lon);
      haveLon = true;
    } else {
      return nullptr;
    }
    if (!p) return nullptr;
  }
  if (!haveLat || !haveLon) return nullptr;

  double altitude = 0;
  double time = std::numeric_limits<double>::quiet_NaN();
  bool haveEle = false, haveTime = false;
  for (;;) {
    p = skipSpaces(p, end);
    if (end - p < 2 || *p != '<') return nullptr;
    if (p[1] == '/') {
      p += 2;
      if (!startsWith(p, end, name) || !startsWith(p + name.size(), end, ">")) return nullptr;
      p += name.size() + 1;
      break;
    }
    if (!haveEle && startsWith(p, end, "<ele>")) {
      p = readPlainDecimal(p + 5, end, altitude);
      if (!p || !startsWith(p, end, "</ele>")) return nullptr;
      p += 6;
      haveEle = true;
    } else if (!haveTime && startsWith(p, end, "<time>")) {
      const char* const text = p + 6;
      p = timeTextEnd(text, end);
      if (!startsWith(p, end, "</time>")) return nullptr;
      time = isoTimeOrNaN(std::string_view(text, size_t(p - text)));
      p += 7;
      haveTime = true;
    } else {
      return nullptr;
    }
  }
  point = {lat, lon, altitude, time};
  return p;
}

}  // namespace trelvano
