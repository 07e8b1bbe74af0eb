#include "analysis/Thermals.h"

#include "analysis/Geodesic.h"
#include "analysis/WindFromCircling.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <numbers>

namespace trelvano {

namespace {

// The last fix a section's figures are measured to: its own last fix. The
// step to the next phase's first fix belongs to neither for certain (the
// change of phase happened somewhere in it), so it is left out of both; a
// section of a single fix reaches over it.
int32_t endPoint(const FlightSection& s, int32_t count) {
  if (s.to > s.from) return s.to;
  return std::min(s.to + 1, count - 1);
}

double clockOf(const AnalysisInput& in, int32_t i) {
  return size_t(i) < in.utc.size() ? in.utc[size_t(i)] : std::numeric_limits<double>::quiet_NaN();
}

}  // namespace

std::vector<Thermal> findThermals(const Track& t, const AnalysisInput& in, const std::vector<FlightPhase>& phases,
                                  const std::vector<WindEstimate>& wind) {
  std::vector<Thermal> thermals;
  for (const FlightPhase& ph : phases) {
    if (ph.kind != PhaseKind::Circling) continue;
    const int32_t end = endPoint(ph, t.size());
    Thermal th;
    static_cast<FlightSection&>(th) = ph;
    th.entryHeight = t.altitude[size_t(ph.from)];
    th.exitHeight = t.altitude[size_t(end)];
    th.gain = th.exitHeight - th.entryHeight;
    const double duration = t.time[size_t(end)] - t.time[size_t(ph.from)];
    if (!(th.gain >= kMinThermalGain) || !(duration > 0)) continue;
    th.climb = th.gain / duration;
    th.direction = ph.direction;
    th.utcStart = clockOf(in, ph.from);
    th.utcEnd = clockOf(in, end);
    double lat = 0, lon = 0;
    th.altitude = th.entryHeight;
    for (int32_t i = ph.from; i <= end; ++i) {
      lat += in.lat[size_t(i)], lon += in.lon[size_t(i)];
      th.altitude = std::max(th.altitude, t.altitude[size_t(i)]);
    }
    th.lat = lat / (end - ph.from + 1);
    th.lon = lon / (end - ph.from + 1);
    // The mean wind vector of its turns.
    double we = 0, wn = 0;
    int count = 0;
    for (const WindEstimate& w : wind) {
      if (w.from < ph.from || w.to > end) continue;
      const double rad = w.windFrom * std::numbers::pi / 180;
      we -= w.speed * std::sin(rad);
      wn -= w.speed * std::cos(rad);
      ++count;
    }
    if (count > 0) {
      th.hasWind = true;
      th.windSpeed = std::hypot(we, wn) / count;
      th.windFrom = windFromDegrees(we, wn);
    }
    thermals.push_back(th);
  }
  return thermals;
}

std::vector<Glide> findGlides(const Track& t, const AnalysisInput& in, const std::vector<FlightSection>& freeFlight,
                              const std::vector<Thermal>& thermals) {
  const int32_t n = t.size();
  std::vector<Glide> glides;
  auto add = [&](int32_t from, int32_t to) {
    if (to < from) return;
    Glide g;
    g.from = from;
    g.to = to;
    g.start = t.time[size_t(from)];
    g.end = t.time[size_t(std::min(to + 1, n - 1))];
    const int32_t end = endPoint(g, n);
    if (end <= from) return;
    g.distance = geodesicDistance(in.lat[size_t(from)], in.lon[size_t(from)], in.lat[size_t(end)], in.lon[size_t(end)]);
    g.heightLoss = t.altitude[size_t(from)] - t.altitude[size_t(end)];
    const double duration = t.time[size_t(end)] - t.time[size_t(from)];
    g.speed = duration > 0 ? g.distance / duration * 3.6 : 0;
    // The most it rose on the way, over the lowest point before.
    double lowest = t.altitude[size_t(from)], rise = 0;
    for (int32_t i = from; i <= end; ++i) {
      lowest = std::min(lowest, t.altitude[size_t(i)]);
      rise = std::max(rise, t.altitude[size_t(i)] - lowest);
    }
    g.ratio = g.heightLoss >= kMinGlideLoss && rise < kMinGlideLoss ? g.distance / g.heightLoss : 0;
    glides.push_back(g);
  };
  for (const FlightSection& range : freeFlight) {
    int32_t next = range.from;
    for (const Thermal& th : thermals) {
      if (th.to < range.from || th.from > range.to) continue;
      add(next, th.from - 1);
      next = th.to + 1;
    }
    add(next, range.to);
  }
  return glides;
}

}  // namespace trelvano
