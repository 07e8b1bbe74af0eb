#pragma once
// Altitude spikes: a fix whose height jumps faster than any aircraft climbs
// or sinks (kSpikeClimb, by at least kSpikeHeight) and comes back within
// kSpikeSpan seconds is a fault of the recorder (a GNSS altitude jump, a
// pressure reading of 0). Such fixes take the height between their
// neighbours, so no climb, glide or total sees them. A jump that stays is
// left alone: the recorder may have changed its altitude source.

#include <cstdint>
#include <vector>

namespace trelvano {

inline constexpr double kSpikeClimb = 40.0;      // m/s
inline constexpr double kSpikeHeight = 50.0;     // metres
inline constexpr double kSpikeSpan = 60.0;       // seconds
inline constexpr double kPlausibleClimb = 20.0;  // m/s: back on the track means reachable from before at this rate

// Passes over the spikes in `altitude` (one per `time`, seconds); returns their fixes.
std::vector<int32_t> passOverSpikes(const std::vector<double>& time, std::vector<double>& altitude);

}  // namespace trelvano
