#pragma once
// What the cross-country scoring takes of the loaded flight: the fixes of
// each stretch of its free flight (from take-off to landing, without a
// launch under engine) as the flight analysis found them.

#include "analysis/score/FlightScore.h"
#include "model/FlightData.h"

#include <vector>

namespace trelvano {

// One list per stretch of free flight, in time order; none when the flight
// never left the ground. A flight the analysis has not seen is one stretch.
std::vector<std::vector<ScoreFix>> freeFlightFixes(const FlightData& data);

}  // namespace trelvano
