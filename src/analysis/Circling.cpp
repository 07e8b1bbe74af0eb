#include "analysis/Circling.h"

#include "analysis/FastAtan2.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace trelvano {

namespace {

constexpr double kDegrees = 180 / std::numbers::pi;

// Unwraps the directions of `east`/`north` (where `use` holds) into
// motion.course, and takes their change over the rate window into
// motion.turnRate.
template <class Use>
void courseAndTurn(const Track& t, const std::vector<double>& east, const std::vector<double>& north, Use use,
                   Motion& m) {
  const size_t n = size_t(t.size());
  m.course.assign(n, 0.0);
  m.turnRate.assign(n, 0.0);
  constexpr double kPi = std::numbers::pi;
  double course = 0, last = 0;  // unwrapped, and the last direction as atan2 gave it
  bool known = false;
  for (size_t i = 0; i < n; ++i) {
    if (use(i)) {
      const double c = fastAtan2(north[i], east[i]);
      if (known) {
        const double turn = c - last;  // within ±2π: one wrap at most
        course += turn > kPi ? turn - 2 * kPi : turn < -kPi ? turn + 2 * kPi : turn;
      } else {
        course = c;
      }
      last = c;
      known = true;
    }
    m.course[i] = course;
  }
  const std::vector<FixWindow> windows = fixWindows(t, kRateWindow / 2);
  for (int32_t i = 0; i < int32_t(n); ++i) {
    const FixWindow& w = windows[size_t(i)];
    const double span = m.middle[size_t(w.last)] - m.middle[size_t(w.first)];
    if (span > 0) m.turnRate[size_t(i)] = (m.course[size_t(w.last)] - m.course[size_t(w.first)]) * kDegrees / span;
  }
}

}  // namespace

Motion groundMotion(const Track& t) {
  const int32_t n = t.size();
  Motion m;
  m.east.assign(size_t(n), 0.0);
  m.north.assign(size_t(n), 0.0);
  m.middle.assign(t.time.begin(), t.time.end());
  m.chord.assign(size_t(n), 0.0);
  for (int32_t i = 0; i < n; ++i) {
    const int32_t first = t.pieceStart[size_t(i)], last = t.pieceEnd[size_t(i)];
    if (first == last) continue;
    // The step before the fix (after it at the start of a piece), widened
    // on both sides in turn while the chord stays within kChordSeconds.
    int32_t a = i > first ? i - 1 : i, b = a + 1;
    for (bool grown = true; grown;) {
      grown = false;
      if (b < last && t.time[size_t(b) + 1] - t.time[size_t(a)] <= kChordSeconds + 1e-9) ++b, grown = true;
      if (a > first && t.time[size_t(b)] - t.time[size_t(a) - 1] <= kChordSeconds + 1e-9) --a, grown = true;
    }
    const double dt = t.time[size_t(b)] - t.time[size_t(a)];
    if (!(dt > 0)) continue;
    m.east[size_t(i)] = (t.x[size_t(b)] - t.x[size_t(a)]) / dt;
    m.north[size_t(i)] = (t.y[size_t(b)] - t.y[size_t(a)]) / dt;
    m.middle[size_t(i)] = (t.time[size_t(a)] + t.time[size_t(b)]) / 2;
    m.chord[size_t(i)] = dt;
  }
  return m;
}

void turnThroughAir(const Track& t, const WindField& wind, Motion& m) {
  const size_t n = size_t(t.size());
  std::vector<double> east(n), north(n);
  // The middles run forward in time, so the samples around each are found in one sweep.
  size_t next = 0;
  for (size_t i = 0; i < n; ++i) {
    while (next < wind.size() && wind[next].time < m.middle[i]) ++next;
    double we = 0, wn = 0;
    if (!wind.empty()) {
      const WindSample& a = wind[next > 0 ? next - 1 : 0];
      const WindSample& b = wind[std::min(next, wind.size() - 1)];
      const double f = b.time > a.time ? std::clamp((m.middle[i] - a.time) / (b.time - a.time), 0.0, 1.0) : 0.0;
      we = a.east + f * (b.east - a.east);
      wn = a.north + f * (b.north - a.north);
    }
    east[i] = m.east[i] - we;
    north[i] = m.north[i] - wn;
  }
  courseAndTurn(
      t, east, north,
      [&](size_t i) {
        return m.chord[i] > 0 && east[i] * east[i] + north[i] * north[i] >= kMinCourseSpeed * kMinCourseSpeed;
      },
      m);
}

void turnOfVelocityChange(const Track& t, Motion& m) {
  const size_t n = size_t(t.size());
  std::vector<double> east(n, 0.0), north(n, 0.0);
  std::vector<uint8_t> use(n, 0);
  const std::vector<FixWindow> windows = fixWindows(t, kTurnLag / 2);
  for (int32_t i = 0; i < int32_t(n); ++i) {
    const FixWindow& w = windows[size_t(i)];
    const size_t a = size_t(w.first), b = size_t(w.last);
    if (a == b || !(m.chord[a] > 0) || !(m.chord[b] > 0)) continue;
    east[size_t(i)] = m.east[b] - m.east[a];
    north[size_t(i)] = m.north[b] - m.north[a];
    use[size_t(i)] =
        east[size_t(i)] * east[size_t(i)] + north[size_t(i)] * north[size_t(i)] >= kMinTurnChange * kMinTurnChange;
  }
  courseAndTurn(
      t, east, north, [&](size_t i) { return use[i] != 0; }, m);
}

std::vector<CirclingRun> circlingRuns(const Track& t, const Motion& m, const std::vector<FlightSection>& ranges) {
  struct Run {
    int32_t from, to;
    int sense;  // +1 left, -1 right
  };
  std::vector<CirclingRun> circlings;
  for (const FlightSection& range : ranges) {
    const int32_t lo = std::max(range.from, 0), hi = std::min(range.to, t.size() - 1);
    // Runs of turning in one sense that last long enough.
    std::vector<Run> runs;
    for (int32_t i = lo; i <= hi;) {
      const double r = m.turnRate[size_t(i)];
      const int sense = r >= kMinTurnRate ? 1 : r <= -kMinTurnRate ? -1 : 0;
      if (sense == 0) {
        ++i;
        continue;
      }
      int32_t j = i;
      while (j + 1 <= hi && m.turnRate[size_t(j) + 1] * sense >= kMinTurnRate) ++j;
      const int32_t next = j + 1;
      // Inwards to the fixes that turn themselves (the course change between their neighbours).
      auto turnsHere = [&](int32_t k) {
        const FixWindow w = fixWindow(t, k, 0);
        const double span = m.middle[size_t(w.last)] - m.middle[size_t(w.first)];
        return span > 0 &&
               (m.course[size_t(w.last)] - m.course[size_t(w.first)]) * kDegrees / span * sense >= kMinTurnRate;
      };
      const double first = t.time[size_t(i)], last = t.time[size_t(j)];
      while (i < j && t.time[size_t(i)] - first < kRateWindow / 2 && !turnsHere(i)) ++i;
      while (j > i && last - t.time[size_t(j)] < kRateWindow / 2 && !turnsHere(j)) --j;
      if (t.time[size_t(j)] - t.time[size_t(i)] >= kMinCircling) runs.push_back({i, j, sense});
      i = next;
    }

    // Runs with short breaks between them are one circling phase; a pause
    // of the recording in a break does not count.
    struct Joined {
      int32_t from, to;
      bool left, right;
    };
    std::vector<Joined> joined;
    for (const Run& r : runs) {
      double gap = 0;
      if (!joined.empty())
        for (int32_t k = joined.back().to + 1; k <= r.from; ++k)
          if (!t.gapBefore[size_t(k)]) gap += t.time[size_t(k)] - t.time[size_t(k) - 1];
      if (!joined.empty() && gap < kMaxInterruption) {
        joined.back().to = r.to;
      } else {
        joined.push_back({r.from, r.to, false, false});
      }
      (r.sense > 0 ? joined.back().left : joined.back().right) = true;
    }
    for (const Joined& c : joined)
      circlings.push_back({c.from, c.to,
                           c.left && c.right ? TurnDirection::Mixed
                           : c.left          ? TurnDirection::Left
                                             : TurnDirection::Right});
  }
  return circlings;
}

}  // namespace trelvano
