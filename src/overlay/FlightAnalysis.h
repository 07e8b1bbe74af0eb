#pragma once
// The one entry point of the flight analysis: phases, thermals, glides,
// totals, wind from circling and engine runs of the loaded flight, written to
// data.Analysis. Runs once per load; a flight with fewer than two points,
// without times or without a single circle gives what can be known (no wind
// where there is no circle), never a NaN.

#include "model/FlightData.h"

namespace trelvano {

void analyseFlight(FlightData& data);

}  // namespace trelvano
