#include "overlay/FlightPhases.h"

#include "import/LocalFrame.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace trelvano {

namespace {

constexpr double kDegrees = 180 / std::numbers::pi;
// WGS 84.
constexpr double kSemiMajor = 6378137.0;
constexpr double kFlattening = 1 / 298.257223563;

// Metres per metre of the local frame towards north and towards east at latitude `lat`:
// the frame takes 108,000 m for every degree, the ellipsoid its meridian and
// prime-vertical radii.
void frameScales(double lat, double& north, double& east) {
  const double e2 = kFlattening * (2 - kFlattening);
  const double s = std::sin(lat / kDegrees);
  const double w = std::sqrt(1 - e2 * s * s);
  const double meridian = kSemiMajor * (1 - e2) / (w * w * w);
  const double primeVertical = kSemiMajor / w;
  north = meridian / kDegrees / kMetresPerDegree;
  east = primeVertical / kDegrees / kMetresPerDegree;
}

}  // namespace

void trackMotion(const FlightPoint* p, int32_t n, TrackMotion& m) {
  const size_t count = size_t(std::max(n, 0));
  m.time.assign(count, 0.0);
  m.x.assign(count, 0.0);
  m.y.assign(count, 0.0);
  m.east.assign(count, 0.0);
  m.north.assign(count, 0.0);
  m.moving.assign(count, 0);
  m.course.assign(count, 0.0);
  m.turnRate.assign(count, 0.0);
  if (n <= 0) return;

  double latSum = 0;
  int32_t latCount = 0;
  for (int32_t i = 0; i < n; ++i) {
    if (i > 0) {
      const double step = p[i].TimeStep;
      m.time[size_t(i)] = m.time[size_t(i) - 1] + (std::isfinite(step) && step > 0 ? step : 0.0);
    }
    if (std::isfinite(p[i].Lat)) latSum += p[i].Lat, ++latCount;
  }
  double scaleNorth = 1, scaleEast = 1;
  frameScales(latCount ? latSum / latCount : 0.0, scaleNorth, scaleEast);
  for (int32_t i = 0; i < n; ++i) {
    // X is positive towards west.
    const double x = -(p[i].X - p[0].X) * scaleEast, y = (p[i].Y - p[0].Y) * scaleNorth;
    m.x[size_t(i)] = std::isfinite(x) ? x : 0.0;
    m.y[size_t(i)] = std::isfinite(y) ? y : 0.0;
  }

  for (int32_t i = 0; i < n; ++i) {
    const int32_t a = i > 0 ? i - 1 : 0, b = i > 0 ? i : std::min(1, n - 1);
    const double dt = m.time[size_t(b)] - m.time[size_t(a)];
    if (!(dt > 0)) continue;
    const double ve = (m.x[size_t(b)] - m.x[size_t(a)]) / dt;
    const double vn = (m.y[size_t(b)] - m.y[size_t(a)]) / dt;
    m.east[size_t(i)] = ve;
    m.north[size_t(i)] = vn;
    m.moving[size_t(i)] = ve * ve + vn * vn >= kMinCourseSpeed * kMinCourseSpeed;
  }

  // Course, unwrapped; a point too slow for a course keeps the one before it.
  double course = 0;
  bool known = false;
  for (size_t i = 0; i < count; ++i) {
    if (m.moving[i]) {
      const double c = std::atan2(m.north[i], m.east[i]);
      if (!known) {
        course = c;
        known = true;
      } else {
        course += std::remainder(c - course, 2 * std::numbers::pi);
      }
    }
    m.course[i] = course;
  }

  // Turn rate over the window around each point.
  const double half = kRateWindow / 2;
  size_t lo = 0, hi = 0;
  for (size_t i = 0; i < count; ++i) {
    while (m.time[lo] < m.time[i] - half) ++lo;
    if (hi < i) hi = i;
    while (hi + 1 < count && m.time[hi + 1] <= m.time[i] + half) ++hi;
    const double span = m.time[hi] - m.time[lo];
    if (span > 0) m.turnRate[i] = (m.course[hi] - m.course[lo]) * kDegrees / span;
  }
}

std::vector<FlightPhase> flightPhases(const TrackMotion& m) {
  const int32_t n = int32_t(m.time.size());
  std::vector<FlightPhase> phases;
  if (n == 0) return phases;

  // Runs of turning in one sense that last long enough.
  struct Run {
    int32_t from, to;
    int sense;  // +1 left, -1 right
  };
  std::vector<Run> runs;
  for (int32_t i = 0; i < n;) {
    const double r = m.turnRate[size_t(i)];
    const int sense = r >= kMinTurnRate ? 1 : r <= -kMinTurnRate ? -1 : 0;
    if (sense == 0) {
      ++i;
      continue;
    }
    int32_t j = i;
    while (j + 1 < n && m.turnRate[size_t(j) + 1] * sense >= kMinTurnRate) ++j;
    const int32_t next = j + 1;
    // Inwards to the points that turn themselves (the course change over their two segments).
    auto turnsHere = [&](int32_t k) {
      const int32_t a = std::max(k - 1, 0), b = std::min(k + 1, n - 1);
      const double span = m.time[size_t(b)] - m.time[size_t(a)];
      return span > 0 && (m.course[size_t(b)] - m.course[size_t(a)]) * kDegrees / span * sense >= kMinTurnRate;
    };
    const double first = m.time[size_t(i)], last = m.time[size_t(j)];
    while (i < j && m.time[size_t(i)] - first < kRateWindow / 2 && !turnsHere(i)) ++i;
    while (j > i && last - m.time[size_t(j)] < kRateWindow / 2 && !turnsHere(j)) --j;
    if (m.time[size_t(j)] - m.time[size_t(i)] >= kMinCircling) runs.push_back({i, j, sense});
    i = next;
  }

  // Runs with short breaks between them are one circling phase.
  struct Circling {
    int32_t from, to;
    bool left, right;
  };
  std::vector<Circling> circlings;
  for (const Run& r : runs) {
    if (!circlings.empty() && m.time[size_t(r.from)] - m.time[size_t(circlings.back().to)] < kMaxInterruption) {
      circlings.back().to = r.to;
    } else {
      circlings.push_back({r.from, r.to, false, false});
    }
    (r.sense > 0 ? circlings.back().left : circlings.back().right) = true;
  }

  auto add = [&](PhaseKind kind, int32_t from, int32_t to, TurnDirection direction) {
    FlightPhase ph;
    ph.kind = kind;
    ph.from = from;
    ph.to = to;
    ph.direction = direction;
    ph.start = m.time[size_t(from)];
    ph.end = m.time[size_t(std::min(to + 1, n - 1))];
    phases.push_back(ph);
  };
  int32_t next = 0;
  for (const Circling& c : circlings) {
    if (c.from > next) add(PhaseKind::Gliding, next, c.from - 1, TurnDirection::None);
    add(PhaseKind::Circling, c.from, c.to,
        c.left && c.right ? TurnDirection::Mixed
        : c.left          ? TurnDirection::Left
                          : TurnDirection::Right);
    next = c.to + 1;
  }
  if (next < n) add(PhaseKind::Gliding, next, n - 1, TurnDirection::None);
  return phases;
}

}  // namespace trelvano
