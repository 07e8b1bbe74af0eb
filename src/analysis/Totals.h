#pragma once
// The totals of a flight's analysis, and the warning where its fixes are too
// far apart for the circles being flown.

#include "analysis/Track.h"
#include "model/FlightAnalysisData.h"

#include <QString>
#include <vector>

namespace trelvano {

// The best climb is taken over at least this many seconds, with the height
// at either end the mean over kClimbEnds seconds around it (a single fix's
// height is off by metres).
inline constexpr double kBestClimbSpan = 30.0;
inline constexpr double kClimbEnds = 2.0;
// Classes of the thermals' average climbs, m/s.
inline constexpr double kClimbClass = 0.5;

// Everything but flightTime, airborneTime and spikes counts the free flight
// only; `analysis` holds the phases, thermals, glides and sections.
AnalysisTotals analysisTotals(const Track& track, const FlightAnalysis& analysis);

// "Fixabstand N s: Kreisen nicht sicher erkennbar" where the typical step is
// longer than half a circle at kFastestTurn takes and there is free flight;
// else empty.
QString circlingWarning(const Track& track, const std::vector<FlightSection>& freeFlight);

}  // namespace trelvano
