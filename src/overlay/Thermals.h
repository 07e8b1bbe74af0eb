#pragma once
// Thermals, glides and totals from the phases of a flight, and the engine
// runs from the engine-noise and propulsion values of its fixes.

#include "model/FlightAnalysisData.h"
#include "model/FlightPoint.h"
#include "model/IgcExtras.h"
#include "overlay/FlightPhases.h"

#include <vector>

namespace trelvano {

// Engine noise (ENL) or propulsion (MOP) at or above this, 0 … 999, is a running engine;
// runs of at least two such fixes count, and breaks shorter than kEngineGap seconds are bridged.
inline constexpr int kEngineLevel = 500;
inline constexpr double kEngineGap = 30.0;
// The best climb is taken over at least this many seconds.
inline constexpr double kBestClimbSpan = 30.0;

// Geodesic distance in metres on the WGS 84 ellipsoid (PROJ's geodesic routines).
double geodesicDistance(double lat1, double lon1, double lat2, double lon2);

// The circling phases that gained height, with the mean of the wind
// estimates made in each.
std::vector<Thermal> findThermals(const FlightPoint* points, const TrackMotion& motion,
                                  const std::vector<FlightPhase>& phases, const std::vector<WindEstimate>& wind);

// Every gliding phase as a glide.
std::vector<Glide> findGlides(const FlightPoint* points, const TrackMotion& motion,
                              const std::vector<FlightPhase>& phases);

AnalysisTotals analysisTotals(const FlightPoint* points, const TrackMotion& motion,
                              const std::vector<FlightPhase>& phases, const std::vector<Thermal>& thermals,
                              const std::vector<Glide>& glides);

// Periods of a running engine, from ENL and MOP together.
std::vector<EngineRun> engineRuns(const IgcExtras& extras, const TrackMotion& motion);

}  // namespace trelvano
