#include "overlay/FlightAnalysis.h"

#include "overlay/FlightPhases.h"
#include "overlay/Thermals.h"
#include "overlay/WindFromCircling.h"

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

}  // namespace trelvano
