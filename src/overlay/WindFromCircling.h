#pragma once
// The wind from circling: in every full turn of a circling phase the ground
// velocities lie on a circle whose centre is the wind and whose radius is the
// airspeed. A least-squares circle through them gives one estimate per turn.
// A turn gives none when it is no circle: fewer than kMinTurnPoints
// velocities, a course that did not come round a full turn in one sense (an
// S-turn), or velocities farther from the fitted circle than
// kMaxCircleDeviation of its radius (airspeed changing with the turn rate).

#include "model/FlightAnalysisData.h"
#include "model/FlightPoint.h"
#include "overlay/FlightPhases.h"

#include <vector>

namespace trelvano {

inline constexpr int kMinTurnPoints = 4;
inline constexpr double kMaxCircleDeviation = 0.15;
inline constexpr double kMinAirspeed = 2.0;  // m/s: a smaller circle is noise

// A circle fitted to points by least squares (the algebraic fit).
struct CircleFit {
  bool ok = false;      // at least three points not on one line
  double x = 0, y = 0;  // centre
  double radius = 0;
  double rms = 0;  // root mean square distance of the points from the circle
};
CircleFit fitCircle(const double* x, const double* y, int count);

// One estimate per full turn of every circling phase, in time order.
std::vector<WindEstimate> windFromCircling(const FlightPoint* points, const TrackMotion& motion,
                                           const std::vector<FlightPhase>& phases);

// The wind vector's direction as meteorologists give it: degrees it blows
// from, 0 = north, clockwise, in [0, 360).
double windFromDegrees(double east, double north);

}  // namespace trelvano
