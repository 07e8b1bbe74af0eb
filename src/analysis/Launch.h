#pragma once
// The launch and the engine: what lifts the aircraft besides the air.
//
// Engine runs come from the engine-noise and propulsion values of the fixes.
// In the air each that lasts kMinEngineRun seconds or more (shorter noise is
// the tow plane or the winch heard on the take-off run) is a stretch under engine, from its take-off where it began
// within kEngineAtTakeoff seconds of it, up to the top of the climb the
// engine gave (at most kEngineZoom seconds after the noise stopped).
//
// A launch is the climb right after a take-off that is not under engine (or
// where a recording begins in the air, as it may on the winch):
// it lasts while the height kReleaseWindow seconds ahead is at least
// kReleaseClimb m/s higher, the course turns slower than kMaxTowTurn and no
// circling began (the release, where the glider turns away); its first
// kGroundRoll seconds may still be level. A climb of kMinLaunchGain metres
// at kMinLaunchClimb m/s on average or more is a launch: at kWinchClimb m/s
// or more within kMaxWinch seconds on the winch, else on tow.

#include "analysis/Circling.h"
#include "analysis/Track.h"
#include "model/FlightAnalysisData.h"

#include <span>
#include <vector>

namespace trelvano {

// Engine noise (ENL) or propulsion (MOP) at or above this, 0 … 999, is a running engine;
// runs of at least two such fixes count, and breaks shorter than kEngineGap seconds are bridged.
inline constexpr int kEngineLevel = 500;
inline constexpr double kEngineGap = 30.0;
inline constexpr double kMinEngineRun = 30.0;
inline constexpr double kEngineAtTakeoff = 30.0;
inline constexpr double kEngineZoom = 20.0;

inline constexpr double kReleaseWindow = 20.0;   // seconds
inline constexpr double kReleaseClimb = 1.0;     // m/s
inline constexpr double kMaxTowTurn = 10.0;      // degrees per second
inline constexpr double kGroundRoll = 30.0;      // seconds
inline constexpr double kMinLaunchGain = 100.0;  // metres
inline constexpr double kMinLaunchClimb = 1.5;   // m/s
inline constexpr double kWinchClimb = 4.0;       // m/s
inline constexpr double kMaxWinch = 150.0;       // seconds

// Periods of a running engine, from ENL and MOP together (either may be empty).
std::vector<EngineRun> engineRuns(std::span<const int16_t> enl, std::span<const int16_t> mop,
                                  const std::vector<double>& time);

// The stretches under engine in the air.
std::vector<EngineClimb> engineClimbs(const Track& track, const std::vector<EngineRun>& runs,
                                      const std::vector<AirborneSection>& airborne);

// The launch of each time in the air that does not begin under engine; `motion` gives
// the turn rate, `circling` the circles found.
std::vector<Launch> launches(const Track& track, const Motion& motion, const std::vector<AirborneSection>& airborne,
                             const std::vector<EngineClimb>& engine, const std::vector<CirclingRun>& circling);

}  // namespace trelvano
