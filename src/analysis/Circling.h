#pragma once
// Circling: turning in one sense, through the air, for a quarter of a minute
// or more.
//
// Each fix's ground velocity is taken over a chord of about kChordSeconds
// around it (the step before it where the fixes are farther apart), so the
// metres a single fix is off make no turn. The course is that velocity with
// the wind taken out, unwrapped from fix to fix; the turn rate at a fix is
// its change over kRateWindow seconds around it, or over the neighbours
// where the fixes are farther apart. Fixes turning at kMinTurnRate or more
// in one sense for at least kMinCircling seconds make a circling run; runs
// closer than kMaxInterruption seconds (a pause of the recording not
// counted) are one phase, and a change of sense inside makes it "gemischt".
// The smoothing window lets a run begin before the turning does; its ends
// are moved inwards, by up to half the window, to the first and last fixes
// that turn themselves.
//
// The thresholds suit gliders (about 18°/s at 25 m/s) and paragliders (about
// 20°/s at 10 m/s) alike; a slow course change of a few degrees a second
// stays straight unless it lasts a quarter of a minute. A turn of more than
// half a circle between two fixes cannot be told from one the other way
// round: kFastestTurn is the fastest turn taken as flown.

#include "analysis/Track.h"
#include "model/FlightAnalysisData.h"

#include <vector>

namespace trelvano {

inline constexpr double kMinTurnRate = 4.0;       // degrees per second
inline constexpr double kMinCircling = 15.0;      // seconds
inline constexpr double kMaxInterruption = 15.0;  // seconds
inline constexpr double kRateWindow = 10.0;       // seconds
inline constexpr double kChordSeconds = 4.0;      // seconds
inline constexpr double kMinCourseSpeed = 1.5;    // m/s: slower fixes keep the course before them
inline constexpr double kFastestTurn = 24.0;      // degrees per second: a paraglider's tight circle

// The wind over time, for taking it out of the ground velocities.
struct WindSample {
  double time = 0;             // seconds since the first fix
  double east = 0, north = 0;  // m/s the air moves towards east and north
};
// By time; between two samples the wind changes evenly, before the first and
// after the last it is theirs; empty = calm.
using WindField = std::vector<WindSample>;

struct Motion {
  std::vector<double> east, north;  // ground velocity, m/s (0 where unknown)
  std::vector<double> middle;       // seconds: the middle of the chord it was taken over
  std::vector<double> chord;        // seconds the chord lasts; 0 = velocity unknown
  std::vector<double> course;       // radians, counter-clockwise from east, unwrapped
  std::vector<double> turnRate;     // degrees per second, positive to the left
};

// The ground velocities of every fix; course and turn rate left empty.
Motion groundMotion(const Track& track);

// Course and turn rate of the air velocity: the ground velocity less `wind`.
void turnThroughAir(const Track& track, const WindField& wind, Motion& motion);

// Course and turn rate of the change of velocity (kTurnLag seconds apart),
// which turns with the aircraft whatever the wind, as long as the wind holds:
// enough to find the circles the wind is measured in. Changes smaller than
// kMinTurnChange (a straight flight's noise) keep the course before them.
inline constexpr double kTurnLag = 4.0;        // seconds
inline constexpr double kMinTurnChange = 4.0;  // m/s
void turnOfVelocityChange(const Track& track, Motion& motion);

// A circling phase: fixes from … to, the sense of its turns.
struct CirclingRun {
  int32_t from = 0, to = 0;
  TurnDirection direction = TurnDirection::None;
};

// The circling inside each of `ranges` (fixes from … to), in order.
std::vector<CirclingRun> circlingRuns(const Track& track, const Motion& motion,
                                      const std::vector<FlightSection>& ranges);

}  // namespace trelvano
