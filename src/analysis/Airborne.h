#pragma once
// Take-off and landing. A fix is in the air when, over kContactWindow seconds
// around it, the aircraft moved faster than kGroundSpeed or climbed or sank
// faster than kGroundClimb: faster than a pilot walks, and far above the
// metres a fix standing still wanders by over that time. Time on the ground
// shorter than kLandingHold between two times in the air is not a landing
// (a paraglider hanging still in the wind along a ridge). A time in the air
// shorter than kMinAirborne (a pilot running), or whose heights span less
// than kMinHeightSpan (the glider towed along the airfield), is no flight.
// A pause of the recording longer than kMaxAirGap ends a flight and begins
// the next: the recorder was switched off, and neither a landing nor a
// take-off was seen.

#include "analysis/Track.h"
#include "model/FlightAnalysisData.h"

#include <vector>

namespace trelvano {

inline constexpr double kContactWindow = 10.0;  // seconds
inline constexpr double kGroundSpeed = 3.0;     // m/s
inline constexpr double kGroundClimb = 1.0;     // m/s
inline constexpr double kLandingHold = 60.0;    // seconds
inline constexpr double kMinAirborne = 60.0;    // seconds
inline constexpr double kMinHeightSpan = 50.0;  // metres
inline constexpr double kMaxAirGap = 600.0;     // seconds

// The times in the air, in order. A flight in the air from the first fix has
// no take-off seen, one in the air at the last fix no landing.
std::vector<AirborneSection> airborneSections(const Track& track);

}  // namespace trelvano
