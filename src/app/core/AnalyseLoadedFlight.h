#pragma once
// The one place the program runs the flight analysis and keeps its result:
// the loaded flight's fixes, clock and engine values handed to
// analysis/AnalyseFlight, the result stored in data.Analysis with its
// version counted on. Runs once per load.

#include "model/FlightData.h"

namespace trelvano {

void analyseLoadedFlight(FlightData& data);

}  // namespace trelvano
