#include "overlay/FlightAnalysis.h"

#include "overlay/FlightPhases.h"
#include "overlay/Thermals.h"
#include "overlay/WindFromCircling.h"

#include <algorithm>

namespace trelvano {

void analyseFlight(FlightData& data) {
  FlightAnalysis& a = data.Analysis;
  a.clear();
  const int32_t count = data.LastPoint + 1;
  if (count <= 0 || count > kMaxFlightPoints) return;
  const FlightPoint* const points = data.FlightPath.data();
  TrackMotion motion;
  trackMotion(points, count, motion);
  a.phases = flightPhases(motion);
  a.wind = windFromCircling(points, motion, a.phases);
  a.thermals = findThermals(points, motion, a.phases, a.wind);
  a.glides = findGlides(points, motion, a.phases);
  a.totals = analysisTotals(points, motion, a.phases, a.thermals, a.glides);
  a.engineRuns = engineRuns(data.Igc, motion);
  a.time = std::move(motion.time);
  a.valid = true;
}

void colourByPhases(FlightData& data) {
  const int32_t last = data.LastPoint;
  FlightPoint* const p = data.FlightPath.data();
  for (int32_t i = 0; i <= last; ++i) p[i].Color = kGlidingColour;
  for (const FlightPhase& ph : data.Analysis.phases)
    if (ph.kind == PhaseKind::Circling)
      for (int32_t i = std::max(ph.from, 0); i <= std::min(ph.to, last); ++i) p[i].Color = kCirclingColour;
  for (const EngineRun& r : data.Analysis.engineRuns)
    for (int32_t i = std::max(r.from, 0); i <= std::min(r.to, last); ++i) p[i].Color = kEngineColour;
}

}  // namespace trelvano
