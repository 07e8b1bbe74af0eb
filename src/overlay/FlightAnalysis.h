#pragma once
// The one entry point of the flight analysis: phases, thermals, glides,
// totals, wind from circling and engine runs of the loaded flight, written to
// data.Analysis. Runs once per load; a flight with fewer than two points,
// without times or without a single circle gives what can be known (no wind
// where there is no circle), never a NaN.

#include "model/FlightData.h"

namespace trelvano {

void analyseFlight(FlightData& data);

// The overlay "Flugphasen": each segment in the colour of the phase its end
// point belongs to, engine runs over both ($00BBGGRR).
inline constexpr int32_t kCirclingColour = 0x000080FF;  // orange
inline constexpr int32_t kGlidingColour = 0x00FF0000;   // blue
inline constexpr int32_t kEngineColour = 0x00800080;    // purple
void colourByPhases(FlightData& data);

}  // namespace trelvano
