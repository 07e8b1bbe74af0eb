#include "analysis/Totals.h"

#include "analysis/Circling.h"
#include "analysis/Thermals.h"

#include <algorithm>
#include <cmath>

namespace trelvano {

namespace {

double duration(const Track& t, const FlightSection& s) {
  return t.time[size_t(std::min(s.to + 1, t.size() - 1))] - t.time[size_t(s.from)];
}

// The best climb over kBestClimbSpan seconds or more inside fixes lo … hi.
// Returns false when the stretch is shorter.
bool bestClimb(const Track& t, int32_t lo, int32_t hi, double& best) {
  // Heights at the ends: means over kClimbEnds around each fix, in one sweep.
  std::vector<double> height(size_t(hi - lo + 1));
  double sum = 0;
  int32_t a = lo, b = lo - 1;
  for (int32_t i = lo; i <= hi; ++i) {
    while (b < hi && t.time[size_t(b) + 1] <= t.time[size_t(i)] + kClimbEnds / 2) sum += t.altitude[size_t(++b)];
    while (t.time[size_t(a)] < t.time[size_t(i)] - kClimbEnds / 2) sum -= t.altitude[size_t(a++)];
    height[size_t(i - lo)] = sum / (b - a + 1);
  }
  bool any = false;
  int32_t j = lo;
  for (int32_t i = lo; i <= hi; ++i) {
    if (j < i) j = i;
    while (j <= hi && t.time[size_t(j)] - t.time[size_t(i)] < kBestClimbSpan) ++j;
    if (j > hi) break;
    const double climb = (height[size_t(j - lo)] - height[size_t(i - lo)]) / (t.time[size_t(j)] - t.time[size_t(i)]);
    if (std::isfinite(climb) && (!any || climb > best)) best = climb, any = true;
  }
  return any;
}

}  // namespace

AnalysisTotals analysisTotals(const Track& t, const FlightAnalysis& a) {
  AnalysisTotals s;
  s.spikes = int(a.spikes.size());
  if (t.size() == 0) return s;
  s.flightTime = t.time.back();
  for (const AirborneSection& air : a.airborne) s.airborneTime += air.end - air.start;
  for (const FlightSection& f : a.freeFlight) s.freeFlightTime += duration(t, f);
  for (const FlightPhase& ph : a.phases)
    if (ph.kind == PhaseKind::Circling) s.circlingTime += ph.end - ph.start;
  s.circlingShare = s.freeFlightTime > 0 ? 100 * s.circlingTime / s.freeFlightTime : 0;

  double thermalTime = 0, strongest = 0;
  for (const Thermal& th : a.thermals) {
    s.heightGained += th.gain;
    thermalTime += th.gain / th.climb;  // the time its climb was measured over
    strongest = std::max(strongest, th.climb);
  }
  s.thermals = int(a.thermals.size());
  s.averageClimb = thermalTime > 0 ? s.heightGained / thermalTime : 0;
  if (!a.thermals.empty()) {
    const int classes = std::max(1, int(std::floor(strongest / kClimbClass)) + 1);
    for (int k = 0; k < classes; ++k) s.climbHistogram.push_back({k * kClimbClass, (k + 1) * kClimbClass, 0});
    for (const Thermal& th : a.thermals)
      ++s.climbHistogram[size_t(std::clamp(int(std::floor(th.climb / kClimbClass)), 0, classes - 1))].count;
  }

  // Over the glides that have a ratio: a climb on the way (a wave, a cloud
  // street) would make the rest look like no height was lost.
  double distance = 0, loss = 0;
  for (const Glide& g : a.glides)
    if (g.ratio > 0) distance += g.distance, loss += g.heightLoss;
  s.averageRatio = loss > 0 ? distance / loss : 0;

  bool any = false;
  for (const FlightSection& f : a.freeFlight) {
    double best = 0;
    if (bestClimb(t, f.from, f.to, best) && (!any || best > s.best30sClimb)) s.best30sClimb = best, any = true;
  }
  return s;
}

QString circlingWarning(const Track& t, const std::vector<FlightSection>& freeFlight) {
  if (freeFlight.empty() || !(t.interval * kFastestTurn > 180)) return {};
  return QStringLiteral("Fixabstand %1 s: Kreisen nicht sicher erkennbar").arg(std::lround(t.interval));
}

}  // namespace trelvano
