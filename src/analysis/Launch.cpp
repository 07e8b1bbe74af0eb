#include "analysis/Launch.h"

#include <algorithm>
#include <cmath>

namespace trelvano {

namespace {

// The height gained per second from fix `i` to the first fix kReleaseWindow
// seconds later (at least the next fix), within its piece and up to `last`.
double climbAhead(const Track& t, int32_t i, int32_t last) {
  const int32_t end = std::min(last, t.pieceEnd[size_t(i)]);
  if (i >= end) return 0;
  const auto begin = t.time.begin();
  int32_t j = int32_t(std::lower_bound(begin + i + 1, begin + end + 1, t.time[size_t(i)] + kReleaseWindow) - begin);
  j = std::min(j, end);
  const double dt = t.time[size_t(j)] - t.time[size_t(i)];
  return dt > 0 ? (t.altitude[size_t(j)] - t.altitude[size_t(i)]) / dt : 0.0;
}

// The highest fix from `from` to `to`.
int32_t topOf(const Track& t, int32_t from, int32_t to) {
  int32_t top = from;
  for (int32_t i = from; i <= to; ++i)
    if (t.altitude[size_t(i)] > t.altitude[size_t(top)]) top = i;
  return top;
}

}  // namespace

std::vector<EngineRun> engineRuns(std::span<const int16_t> enl, std::span<const int16_t> mop,
                                  const std::vector<double>& time) {
  const size_t n = time.size();
  std::vector<uint8_t> running(n, 0);
  for (std::span<const int16_t> levels : {enl, mop})
    for (size_t i = 0; i < std::min(n, levels.size()); ++i)
      if (levels[i] >= kEngineLevel) running[i] = 1;
  std::vector<EngineRun> runs;
  for (size_t i = 0; i < n;) {
    if (!running[i]) {
      ++i;
      continue;
    }
    size_t j = i, last = i;
    // Bridge short quiet breaks.
    while (j + 1 < n && time[j + 1] - time[last] < kEngineGap) {
      ++j;
      if (running[j]) last = j;
    }
    int fixes = 0;
    for (size_t k = i; k <= last; ++k) fixes += running[k];
    if (fixes >= 2) {
      EngineRun r;
      r.from = int32_t(i);
      r.to = int32_t(last);
      r.start = time[i];
      r.end = time[last];
      if (!runs.empty() && r.start - runs.back().end < kEngineGap) {
        runs.back().to = r.to, runs.back().end = r.end;
      } else {
        runs.push_back(r);
      }
    }
    i = last + 1;
  }
  return runs;
}

std::vector<EngineClimb> engineClimbs(const Track& t, const std::vector<EngineRun>& runs,
                                      const std::vector<AirborneSection>& airborne) {
  std::vector<EngineClimb> climbs;
  for (const AirborneSection& air : airborne) {
    for (const EngineRun& run : runs) {
      if (run.end - run.start < kMinEngineRun) continue;
      int32_t from = std::max(run.from, air.from), to = std::min(run.to, air.to);
      if (from > to) continue;
      if (air.takeoffSeen && t.time[size_t(from)] - air.start <= kEngineAtTakeoff) from = air.from;
      // On to the top of the climb it gave.
      int32_t zoom = to;
      while (zoom < air.to && t.time[size_t(zoom) + 1] - t.time[size_t(to)] <= kEngineZoom) ++zoom;
      if (zoom > to && climbAhead(t, to, air.to) > 0) to = topOf(t, to, zoom);
      if (!climbs.empty() && from <= climbs.back().to + 1) {
        climbs.back().to = std::max(climbs.back().to, to);
      } else {
        EngineClimb c;
        c.from = from;
        c.to = to;
        climbs.push_back(c);
      }
    }
  }
  for (EngineClimb& c : climbs) {
    c.start = t.time[size_t(c.from)];
    c.end = t.time[size_t(c.to)];
    c.gain = t.altitude[size_t(c.to)] - t.altitude[size_t(c.from)];
  }
  return climbs;
}

std::vector<Launch> launches(const Track& t, const Motion& m, const std::vector<AirborneSection>& airborne,
                             const std::vector<EngineClimb>& engine, const std::vector<CirclingRun>& circling) {
  std::vector<Launch> result;
  for (const AirborneSection& air : airborne) {
    const bool underEngine = std::any_of(
        engine.begin(), engine.end(), [&](const EngineClimb& e) { return e.from <= air.from + 1 && e.to >= air.from; });
    if (underEngine) continue;
    // The end: the first circling, the next engine run or the landing.
    int32_t limit = air.to;
    for (const CirclingRun& c : circling)
      if (c.from > air.from && c.from <= limit) limit = c.from - 1;
    for (const EngineClimb& e : engine)
      if (e.from > air.from && e.from <= limit) limit = e.from - 1;
    int32_t end = air.from;
    while (end < limit) {
      const bool rolling = t.time[size_t(end)] - air.start < kGroundRoll;
      const bool climbing = climbAhead(t, end, limit) >= kReleaseClimb;
      if (!rolling && (!climbing || std::abs(m.turnRate[size_t(end)]) >= kMaxTowTurn)) break;
      ++end;
    }
    // The release: the top of the climb up to the window ahead of the end.
    int32_t ahead = end;
    while (ahead < limit && t.time[size_t(ahead) + 1] - t.time[size_t(end)] <= kReleaseWindow) ++ahead;
    const int32_t release = topOf(t, air.from, ahead);
    const double gain = t.altitude[size_t(release)] - t.altitude[size_t(air.from)];
    const double duration = t.time[size_t(release)] - air.start;
    if (gain < kMinLaunchGain || !(duration > 0) || gain / duration < kMinLaunchClimb) continue;
    Launch l;
    l.from = air.from;
    l.to = release;
    l.start = air.start;
    l.end = t.time[size_t(release)];
    l.gain = gain;
    l.kind = gain / duration >= kWinchClimb && duration <= kMaxWinch ? LaunchKind::Winch : LaunchKind::Tow;
    result.push_back(l);
  }
  return result;
}

}  // namespace trelvano
