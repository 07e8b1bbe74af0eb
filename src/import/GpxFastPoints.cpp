#include "import/GpxPlainPoint.h"
#include "import/GpxPoints.h"
#include "import/LoadStagingData.h"
#include "import/PlainDecimal.h"
#include "import/PlainXmlScanner.h"
#include "import/TextLines.h"
#include "import/UtcTime.h"

#include <cmath>
#include <cstring>
#include <thread>

namespace trelvano {

namespace {

using Token = PlainXmlScanner::Token;

// What an element is to the reader: decided by its name and its parent's role,
// as the XML reader walks gpx → trk → trkseg → trkpt and gpx → rte → rtept.
enum class Role : uint8_t { Document, Gpx, Track, Segment, Route, Point, Ele, Time, Other };

// lat or lon: a plain decimal within ±limit.
bool coordinate(const PlainXmlScanner::Attribute& a, double limit, double& value) {
  return !a.hasReferences && plainDecimal(trimmedBlanks(a.rawValue), value) && std::fabs(value) <= limit;
}

bool endsWith(std::string_view text, std::string_view end) {
  return text.size() >= end.size() && text.substr(text.size() - end.size()) == end;
}

// lat and lon of a point's start tag, found by the name as written.
bool readPosition(const PlainXmlScanner& xml, StagedGpxPoint& p) {
  double lat = 0, lon = 0;
  bool haveLat = false, haveLon = false;
  for (int i = 0; i < xml.attributeCount(); ++i) {
    const PlainXmlScanner::Attribute& a = xml.attribute(i);
    if (a.name == "lat") {
      if (!(haveLat = coordinate(a, 90, lat))) return false;
    } else if (a.name == "lon") {
      if (!(haveLon = coordinate(a, 180, lon))) return false;
    } else if (endsWith(a.name, ":lat") || endsWith(a.name, ":lon")) {
      return false;  // which of the two counts is the XML reader's matter
    }
  }
  if (!haveLat || !haveLon) return false;
  p = {lat, lon, 0, kNoPointTime};
  return true;
}

// An empty ele is 0 m, as in the XML reader.
bool readEle(std::string_view text, double& altitude) {
  text = trimmedBlanks(text);
  if (text.empty()) {
    altitude = 0;
    return true;
  }
  return plainDecimal(text, altitude);
}

// The later half of a long track, read on a second core: the plain track
// points from the first end of one behind gpxLaterHalfFrom, up to one of
// another shape. They hold when the reading in order ends a plain point
// exactly where they begin; otherwise that reading simply goes on.
class LaterPoints {
 public:
  LaterPoints(LoadStaging& staging, std::string_view bytes) : staging_(staging) {
    constexpr std::string_view kPointEnd = "</trkpt>";
    if (bytes.size() < kGpxWorthASecondCore) return;
    const size_t close = bytes.find(kPointEnd, gpxLaterHalfFrom(bytes.size()));
    if (close == std::string_view::npos) return;
    start_ = bytes.data() + close + kPointEnd.size();
    second_ = std::jthread([this, end = bytes.data() + bytes.size()] {
      const char* p = start_;
      while (count_ < kMaxFlightPoints) {
        const char* const behind = readPlainPoint(p, end, "trkpt", staging_.laterGpxPoints[count_]);
        if (!behind) break;
        p = behind;
        ++count_;
      }
      stop_ = p;
    });
  }

  // Where they begin; nullptr once taken or where there are none.
  const char* start() const { return start_; }

  // Appends them behind the `points` staged so far where they fit, and
  // gives the position behind them; nullptr where they do not fit.
  const char* take(int32_t& points) {
    second_.join();
    start_ = nullptr;
    if (points + count_ > kMaxFlightPoints) return nullptr;
    std::memcpy(staging_.gpxPoints + points, staging_.laterGpxPoints, sizeof(StagedGpxPoint) * size_t(count_));
    points += count_;
    return stop_;
  }

 private:
  LoadStaging& staging_;
  const char* start_ = nullptr;
  const char* stop_ = nullptr;
  int32_t count_ = 0;
  std::jthread second_;  // last: joined before the rest goes
};

}  // namespace

std::optional<int32_t> stageGpxPointsFast(LoadStaging& staging, QByteArrayView bytes) {
  const std::string_view text(bytes.data(), size_t(bytes.size()));
  PlainXmlScanner xml(text);
  LaterPoints later(staging, text);
  Role roles[PlainXmlScanner::kMaxDepth + 1];
  roles[0] = Role::Document;
  int32_t points = 0;  // of the kind in use
  bool tracks = false;  // a track point was seen: route points no longer count
  StagedGpxPoint point{};
  std::string_view value;  // the text of the current ele or time
  bool valueSeen = false;
  bool valueIsAscii = true;
  // Whether a point of this kind counts; the first track point drops the
  // route points read so far.
  auto counts = [&](bool track) {
    if (track && !tracks) {
      tracks = true;
      points = 0;
    }
    return track || !tracks;
  };
  // Runs of points of the common shape are read whole; a file whose points
  // have another shape soon stops trying.
  constexpr int kMaxMisses = 64;  // in a row
  int misses = 0;
  for (;;) {
    const Role open = roles[xml.openDepth()];
    if ((open == Role::Segment || open == Role::Route) && misses < kMaxMisses) {
      const bool track = open == Role::Segment;
      const std::string_view rest = xml.unread();
      const char* p = rest.data();
      const char* const end = p + rest.size();
      const char* behind;
      // Read straight into the next slot: a copy of the point read would
      // load it in halves the store of its fields cannot hand over.
      while ((track || !tracks) && points < kMaxFlightPoints &&
             (behind = readPlainPoint(p, end, track ? "trkpt" : "rtept", staging.gpxPoints[points]))) {
        const int32_t slot = points;
        counts(track);
        if (points != slot) staging.gpxPoints[points] = staging.gpxPoints[slot];
        ++points;
        if (track && behind == later.start()) {
          if (const char* const stop = later.take(points)) behind = stop;
        }
        p = behind;
      }
      if (p != rest.data()) {
        xml.skip(size_t(p - rest.data()));
        misses = 0;
        continue;
      }
      ++misses;
    }
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
            if (name != (track ? "trkpt" : "rtept") || !counts(track)) break;
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
            point.time = isoTimeOrNaN(value);
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

}  // namespace trelvano
