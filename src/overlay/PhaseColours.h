#pragma once
// The overlay "Flugphasen": each segment in the colour of the phase its end
// point belongs to, engine runs over any phase ($00BBGGRR).

#include "model/FlightData.h"

namespace trelvano {

inline constexpr int32_t kCirclingColour = 0x000080FF;  // orange
inline constexpr int32_t kGlidingColour = 0x00FF0000;   // blue
inline constexpr int32_t kEngineColour = 0x00800080;    // purple
inline constexpr int32_t kLaunchColour = 0x0000A000;    // green
inline constexpr int32_t kGroundColour = 0x00A0A0A0;    // grey

void colourByPhases(FlightData& data);

}  // namespace trelvano
