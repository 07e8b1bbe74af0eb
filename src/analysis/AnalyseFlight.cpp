#include "analysis/AnalyseFlight.h"

#include "analysis/Airborne.h"
#include "analysis/Circling.h"
#include "analysis/Launch.h"
#include "analysis/Thermals.h"
#include "analysis/Totals.h"
#include "analysis/Track.h"
#include "analysis/WindFromCircling.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace trelvano {

namespace {

// `ranges` (fixes from … to, in order) without the fixes of `cuts`.
template <class Cut>
std::vector<FlightSection> without(const std::vector<FlightSection>& ranges, const std::vector<Cut>& cuts) {
  std::vector<FlightSection> result;
  for (const FlightSection& r : ranges) {
    int32_t from = r.from;
    for (const Cut& c : cuts) {
      if (c.to < from || c.from > r.to) continue;
      if (c.from > from) result.push_back({from, c.from - 1, 0, 0});
      from = std::max(from, c.to + 1);
    }
    if (from <= r.to) result.push_back({from, r.to, 0, 0});
  }
  return result;
}

void timeSections(const Track& t, std::vector<FlightSection>& sections) {
  for (FlightSection& s : sections) {
    s.start = t.time[size_t(s.from)];
    s.end = t.time[size_t(std::min(s.to + 1, t.size() - 1))];
  }
}

GroundContact contactAt(const Track& t, const AnalysisInput& in, int32_t i) {
  GroundContact c;
  c.point = i;
  c.time = t.time[size_t(i)];
  c.utc = size_t(i) < in.utc.size() ? in.utc[size_t(i)] : std::numeric_limits<double>::quiet_NaN();
  c.lat = in.lat[size_t(i)];
  c.lon = in.lon[size_t(i)];
  return c;
}

// The phases of every fix, in order: on the ground, in the air gliding,
// then launch, engine and circling over it.
std::vector<FlightPhase> phasesOf(const Track& t, const FlightAnalysis& a, const std::vector<CirclingRun>& runs) {
  const int32_t n = t.size();
  std::vector<FlightPhase> phases;
  std::vector<PhaseKind> kind(size_t(n), PhaseKind::Ground);
  std::vector<int32_t> run(size_t(n), -1);  // the circling run of each circling fix
  auto mark = [&](int32_t from, int32_t to, PhaseKind k) {
    for (int32_t i = std::max(from, 0); i <= std::min(to, n - 1); ++i) kind[size_t(i)] = k;
  };
  for (const AirborneSection& s : a.airborne) mark(s.from, s.to, PhaseKind::Gliding);
  for (const Launch& l : a.launches) mark(l.from, l.to, PhaseKind::Launch);
  for (const EngineClimb& e : a.engine) mark(e.from, e.to, PhaseKind::Engine);
  for (size_t r = 0; r < runs.size(); ++r) {
    mark(runs[r].from, runs[r].to, PhaseKind::Circling);
    for (int32_t i = runs[r].from; i <= runs[r].to; ++i) run[size_t(i)] = int32_t(r);
  }
  for (int32_t i = 0; i < n;) {
    int32_t j = i;
    while (j + 1 < n && kind[size_t(j) + 1] == kind[size_t(i)] && run[size_t(j) + 1] == run[size_t(i)]) ++j;
    FlightPhase ph;
    ph.kind = kind[size_t(i)];
    ph.from = i;
    ph.to = j;
    ph.start = t.time[size_t(i)];
    ph.end = t.time[size_t(std::min(j + 1, n - 1))];
    if (run[size_t(i)] >= 0) ph.direction = runs[size_t(run[size_t(i)])].direction;
    phases.push_back(ph);
    i = j + 1;
  }
  return phases;
}

// The runs inside `free`, each cut to it; pieces shorter than a circle are dropped.
std::vector<CirclingRun> insideFreeFlight(const Track& t, const std::vector<CirclingRun>& runs,
                                          const std::vector<FlightSection>& free) {
  std::vector<CirclingRun> inside;
  for (const CirclingRun& r : runs)
    for (const FlightSection& f : free) {
      CirclingRun c = r;
      c.from = std::max(r.from, f.from);
      c.to = std::min(r.to, f.to);
      if (c.from <= c.to && t.time[size_t(c.to)] - t.time[size_t(c.from)] >= kMinCircling) inside.push_back(c);
    }
  return inside;
}

}  // namespace

FlightAnalysis analyseFlight(const AnalysisInput& in) {
  FlightAnalysis a;
  a.valid = true;
  const Track t = makeTrack(in);
  const int32_t n = t.size();
  a.time = t.time;
  if (in.utc.size() == size_t(n)) a.utc.assign(in.utc.begin(), in.utc.end());
  a.spikes = t.spikes;
  if (n == 0) return a;

  a.airborne = airborneSections(t);
  a.engineRuns = engineRuns(in.enl, in.mop, t.time);
  a.engine = engineClimbs(t, a.engineRuns, a.airborne);
  const std::vector<FlightSection> inAir(a.airborne.begin(), a.airborne.end());
  const std::vector<FlightSection> withoutEngine = without(inAir, a.engine);

  // The circles in the change of velocity give the wind; with the wind taken
  // out the course through the air gives the circling.
  Motion motion = groundMotion(t);
  turnOfVelocityChange(t, motion);
  const WindField wind = windField(windFromTurns(t, motion, circlingRuns(t, motion, withoutEngine), false));
  turnThroughAir(t, wind, motion);
  const std::vector<CirclingRun> circling = circlingRuns(t, motion, withoutEngine);

  a.launches = launches(t, motion, a.airborne, a.engine, circling);
  a.freeFlight = without(withoutEngine, a.launches);
  timeSections(t, a.freeFlight);
  const std::vector<CirclingRun> runs = insideFreeFlight(t, circling, a.freeFlight);
  a.wind = windFromTurns(t, motion, runs, true);
  a.phases = phasesOf(t, a, runs);

  for (const AirborneSection& s : a.airborne) {
    if (s.takeoffSeen) a.takeoffs.push_back(contactAt(t, in, s.from));
    if (s.landingSeen) a.landings.push_back(contactAt(t, in, std::min(s.to + 1, n - 1)));
  }
  a.thermals = findThermals(t, in, a.phases, a.wind);
  a.glides = findGlides(t, in, a.freeFlight, a.thermals);
  a.totals = analysisTotals(t, a);
  a.warning = circlingWarning(t, a.freeFlight);
  return a;
}

}  // namespace trelvano
