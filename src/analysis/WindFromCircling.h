#pragma once
// The wind from circling: in every full turn of a circling phase the ground
// velocities lie on a circle whose centre is the wind and whose radius is the
// airspeed. A least-squares circle through them gives one estimate per turn.
// A turn gives none when it is no circle: fewer than kMinTurnPoints
// velocities, a course that did not come round a full turn in one sense (an
// S-turn), velocities farther from the fitted circle than
// kMaxCircleDeviation of its radius (airspeed changing with the turn rate),
// or velocities that do not go round its centre (speed changing on a
// straight line, which a circle of huge radius fits).

#include "analysis/Circling.h"
#include "analysis/Track.h"
#include "model/FlightAnalysisData.h"

#include <vector>

namespace trelvano {

inline constexpr int kMinTurnPoints = 4;
inline constexpr double kMaxCircleDeviation = 0.15;
inline constexpr double kMinAirspeed = 3.0;   // m/s: a smaller circle is noise
inline constexpr double kMaxAirspeed = 80.0;  // m/s: a larger one is a straight line

// A circle fitted to points by least squares (the algebraic fit).
struct CircleFit {
  bool ok = false;      // at least three points not on one line
  double x = 0, y = 0;  // centre
  double radius = 0;
  double rms = 0;  // root mean square distance of the points from the circle
};
CircleFit fitCircle(const double* x, const double* y, int count);

// One estimate per full turn of every run, turns counted on motion.course,
// in time order. With `drift` the wind of a turn whose fixes follow the
// circle comes from the drift of its positions (more precise than the
// centre of the velocities, and more work).
std::vector<WindEstimate> windFromTurns(const Track& track, const Motion& motion, const std::vector<CirclingRun>& runs,
                                        bool drift);

// The estimates as a wind over time.
WindField windField(const std::vector<WindEstimate>& estimates);

// The wind vector's direction as meteorologists give it: degrees it blows
// from, 0 = north, clockwise, in [0, 360).
double windFromDegrees(double east, double north);

}  // namespace trelvano
