#pragma once
// The one entry of the flight analysis: take-off and landing, launch and
// engine, phases, thermals, glides, totals and the wind from circling of one
// flight, returned as a value. A flight with fewer than two fixes, without
// times or without a single circle gives what can be known (no wind where
// there is no circle), never a NaN.

#include "analysis/AnalysisInput.h"
#include "model/FlightAnalysisData.h"

namespace trelvano {

FlightAnalysis analyseFlight(const AnalysisInput& input);

}  // namespace trelvano
