#pragma once
// The one place the program runs the flight analysis and keeps its result:
// a flight's fixes, clock and engine values handed to analysis/AnalyseFlight.
// The loaded flight's result is stored in data.Analysis with its version
// counted on. Runs once per load.

#include "model/Flight.h"
#include "model/FlightData.h"

namespace trelvano {

// The analysis of a flight as read.
FlightAnalysis analyseFlight(const Flight& flight);

// The analysis of the flight in the tables, into data.Analysis.
void analyseLoadedFlight(FlightData& data);
// `analysis` (of the flight the tables show) into data.Analysis, its version counted on.
void showAnalysis(FlightData& data, FlightAnalysis analysis);

}  // namespace trelvano
