#include "overlay/Thermals.h"

#include "overlay/WindFromCircling.h"

#include <geodesic.h>

#include <algorithm>
#include <cmath>
#include <numbers>

namespace trelvano {

namespace {

// The last point a phase's figures are measured to: its own last point. The
// step to the next phase's first point belongs to neither for certain (the
// change of phase happened somewhere in it), so it is left out of both;
// a phase of a single point reaches over it.
int32_t endPoint(const FlightPhase& ph, const TrackMotion& m) {
  if (ph.to > ph.from) return ph.to;
  return std::min(ph.to + 1, int32_t(m.time.size()) - 1);
}

const geod_geodesic& wgs84() {
  static const geod_geodesic g = [] {
    geod_geodesic e;
    geod_init(&e, 6378137.0, 1 / 298.257223563);
    return e;
  }();
  return g;
}

}  // namespace

double geodesicDistance(double lat1, double lon1, double lat2, double lon2) {
  if (!std::isfinite(lat1) || !std::isfinite(lon1) || !std::isfinite(lat2) || !std::isfinite(lon2)) return 0;
  double s12 = 0, azi1 = 0, azi2 = 0;
  geod_inverse(&wgs84(), std::clamp(lat1, -90.0, 90.0), lon1, std::clamp(lat2, -90.0, 90.0), lon2, &s12, &azi1, &azi2);
  return std::isfinite(s12) ? s12 : 0;
}

std::vector<Thermal> findThermals(const FlightPoint* p, const TrackMotion& m, const std::vector<FlightPhase>& phases,
                                  const std::vector<WindEstimate>& wind) {
  std::vector<Thermal> thermals;
  for (const FlightPhase& ph : phases) {
    if (ph.kind != PhaseKind::Circling) continue;
    const int32_t end = endPoint(ph, m);
    Thermal t;
    static_cast<FlightSection&>(t) = ph;
    t.gain = p[end].Altitude - p[ph.from].Altitude;
    const double duration = m.time[size_t(end)] - m.time[size_t(ph.from)];
    if (!(t.gain > 0) || !(duration > 0)) continue;  // a descending spiral is no thermal
    t.climb = t.gain / duration;
    t.direction = ph.direction;
    double lat = 0, lon = 0;
    t.altitude = p[ph.from].Altitude;
    for (int32_t i = ph.from; i <= end; ++i) {
      lat += p[i].Lat, lon += p[i].Lon;
      t.altitude = std::max(t.altitude, p[i].Altitude);
    }
    t.lat = lat / (end - ph.from + 1);
    t.lon = lon / (end - ph.from + 1);
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
      t.hasWind = true;
      t.windSpeed = std::hypot(we, wn) / count;
      t.windFrom = windFromDegrees(we, wn);
    }
    thermals.push_back(t);
  }
  return thermals;
}

std::vector<Glide> findGlides(const FlightPoint* p, const TrackMotion& m, const std::vector<FlightPhase>& phases) {
  std::vector<Glide> glides;
  for (const FlightPhase& ph : phases) {
    if (ph.kind != PhaseKind::Gliding) continue;
    const int32_t end = endPoint(ph, m);
    Glide g;
    static_cast<FlightSection&>(g) = ph;
    g.distance = geodesicDistance(p[ph.from].Lat, p[ph.from].Lon, p[end].Lat, p[end].Lon);
    g.heightLoss = p[ph.from].Altitude - p[end].Altitude;
    const double duration = m.time[size_t(end)] - m.time[size_t(ph.from)];
    g.speed = duration > 0 ? g.distance / duration * 3.6 : 0;
    g.ratio = g.heightLoss > 0 ? g.distance / g.heightLoss : 0;
    glides.push_back(g);
  }
  return glides;
}

AnalysisTotals analysisTotals(const FlightPoint* p, const TrackMotion& m, const std::vector<FlightPhase>& phases,
                              const std::vector<Thermal>& thermals, const std::vector<Glide>& glides) {
  AnalysisTotals t;
  const size_t n = m.time.size();
  if (n == 0) return t;
  t.flightTime = m.time.back();
  for (const FlightPhase& ph : phases)
    if (ph.kind == PhaseKind::Circling) t.circlingTime += ph.end - ph.start;
  t.circlingShare = t.flightTime > 0 ? 100 * t.circlingTime / t.flightTime : 0;
  double thermalTime = 0;
  for (const Thermal& th : thermals) {
    t.heightGained += th.gain;
    thermalTime += th.gain / th.climb;  // the time its climb was measured over
  }
  t.thermals = int(thermals.size());
  t.averageClimb = thermalTime > 0 ? t.heightGained / thermalTime : 0;
  double distance = 0, loss = 0;
  for (const Glide& g : glides) {
    if (g.heightLoss <= 0) continue;
    distance += g.distance;
    loss += g.heightLoss;
  }
  t.averageRatio = loss > 0 ? distance / loss : 0;
  // The best climb from each point to the first one 30 s or more later.
  bool any = false;
  size_t j = 0;
  for (size_t i = 0; i < n; ++i) {
    if (j < i) j = i;
    while (j < n && m.time[j] - m.time[i] < kBestClimbSpan) ++j;
    if (j >= n) break;
    const double climb = (p[j].Altitude - p[i].Altitude) / (m.time[j] - m.time[i]);
    if (std::isfinite(climb) && (!any || climb > t.best30sClimb)) t.best30sClimb = climb, any = true;
  }
  return t;
}

std::vector<EngineRun> engineRuns(const IgcExtras& x, const TrackMotion& m) {
  const size_t n = m.time.size();
  std::vector<uint8_t> running(n, 0);
  for (const std::vector<int16_t>* levels : {&x.enl, &x.mop})
    for (size_t i = 0; i < std::min(n, levels->size()); ++i)
      if ((*levels)[i] >= kEngineLevel) running[i] = 1;
  std::vector<EngineRun> runs;
  for (size_t i = 0; i < n;) {
    if (!running[i]) {
      ++i;
      continue;
    }
    size_t j = i, last = i;
    // Bridge short quiet breaks.
    while (j + 1 < n && m.time[j + 1] - m.time[last] < kEngineGap) {
      ++j;
      if (running[j]) last = j;
    }
    int fixes = 0;
    for (size_t k = i; k <= last; ++k) fixes += running[k];
    if (fixes >= 2) {
      EngineRun r;
      r.from = int32_t(i);
      r.to = int32_t(last);
      r.start = m.time[i];
      r.end = m.time[last];
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

}  // namespace trelvano
