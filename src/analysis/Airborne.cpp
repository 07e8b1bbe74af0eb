#include "analysis/Airborne.h"

#include <algorithm>
#include <cmath>

namespace trelvano {

namespace {

// 1 where the fix is in the air by its own window (see the header).
std::vector<uint8_t> movingFixes(const Track& t) {
  const int32_t n = t.size();
  std::vector<uint8_t> moving(size_t(n), 0);
  uint8_t before = 0;
  const std::vector<FixWindow> windows = fixWindows(t, kContactWindow / 2);
  for (int32_t i = 0; i < n; ++i) {
    const FixWindow& w = windows[size_t(i)];
    const size_t a = size_t(w.first), b = size_t(w.last);
    const double dt = t.time[b] - t.time[a];
    if (dt > 0) {
      const double speed = std::hypot(t.x[b] - t.x[a], t.y[b] - t.y[a]) / dt;
      const double climb = (t.altitude[b] - t.altitude[a]) / dt;
      before = speed > kGroundSpeed || std::abs(climb) > kGroundClimb;
    }
    moving[size_t(i)] = before;
  }
  return moving;
}

}  // namespace

namespace {

// The times in the air among fixes lo … hi, a recording without a long pause.
void airborneIn(const Track& t, const std::vector<uint8_t>& air, int32_t lo, int32_t hi,
                std::vector<AirborneSection>& sections) {
  // Runs of one state: first fix and the fix after.
  struct Run {
    int32_t from, next;
    bool air;
  };
  std::vector<Run> runs;
  for (int32_t i = lo; i <= hi;) {
    int32_t j = i + 1;
    while (j <= hi && air[size_t(j)] == air[size_t(i)]) ++j;
    runs.push_back({i, j, air[size_t(i)] != 0});
    i = j;
  }
  auto duration = [&](const Run& r) { return t.time[size_t(std::min(r.next, hi))] - t.time[size_t(r.from)]; };
  // Short slow moments between two times in the air belong to the flight.
  for (size_t k = 1; k + 1 < runs.size(); ++k)
    if (!runs[k].air && duration(runs[k]) < kLandingHold) runs[k].air = true;
  std::vector<Run> joined;
  for (const Run& r : runs) {
    if (!joined.empty() && joined.back().air == r.air) {
      joined.back().next = r.next;
    } else {
      joined.push_back(r);
    }
  }
  for (const Run& r : joined) {
    if (!r.air || duration(r) < kMinAirborne) continue;
    const auto height = std::minmax_element(t.altitude.begin() + r.from, t.altitude.begin() + r.next);
    if (*height.second - *height.first < kMinHeightSpan) continue;
    AirborneSection s;
    s.from = r.from;
    s.to = r.next - 1;
    s.start = t.time[size_t(r.from)];
    s.end = t.time[size_t(std::min(r.next, hi))];
    s.takeoffSeen = r.from > lo;
    s.landingSeen = r.next <= hi;
    sections.push_back(s);
  }
}

}  // namespace

std::vector<AirborneSection> airborneSections(const Track& t) {
  const int32_t n = t.size();
  std::vector<AirborneSection> sections;
  const std::vector<uint8_t> air = movingFixes(t);
  for (int32_t lo = 0; lo < n;) {
    int32_t hi = lo;
    while (hi + 1 < n && t.time[size_t(hi) + 1] - t.time[size_t(hi)] <= kMaxAirGap) ++hi;
    airborneIn(t, air, lo, hi, sections);
    lo = hi + 1;
  }
  return sections;
}

}  // namespace trelvano
