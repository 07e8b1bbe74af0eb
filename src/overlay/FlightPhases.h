#pragma once
// The phases of a flight: circling (sustained turning) and gliding (the rest).
//
// Each point's course comes from the ground velocity between its neighbours;
// its turn rate is the course change over a window of kRateWindow seconds
// centred on it. Points turning at kMinTurnRate or more in one sense for at
// least kMinCircling seconds make a circling run; runs closer than
// kMaxInterruption seconds are one phase (a change of sense inside makes it
// "gemischt"), and so are the points between them. The smoothing window lets
// a run begin before the turning does; its ends are moved inwards, by up to
// half the window, to the first and last points that turn at kMinTurnRate
// themselves. Everything else is gliding.
// The thresholds suit gliders (about 18°/s at 25 m/s) and paragliders (about
// 20°/s at 10 m/s) alike; a slow course change of a few degrees a second
// stays gliding unless it lasts a quarter of a minute.

#include "model/FlightAnalysisData.h"
#include "model/FlightPoint.h"

#include <cstdint>
#include <vector>

namespace trelvano {

inline constexpr double kMinTurnRate = 4.0;       // degrees per second
inline constexpr double kMinCircling = 15.0;      // seconds
inline constexpr double kMaxInterruption = 15.0;  // seconds
inline constexpr double kRateWindow = 10.0;       // seconds
inline constexpr double kMinCourseSpeed = 1.5;    // m/s: slower points keep the course before them

// Times and ground velocities of a track, one entry per point.
struct TrackMotion {
  std::vector<double> time;      // seconds since the first point (time steps below 0 or not finite count 0)
  std::vector<double> x, y;      // metres towards east and north of the first point
  std::vector<double> east;      // ground velocity from the point before (point 0: to the next), m/s towards east
  std::vector<double> north;     // the same towards north
  std::vector<uint8_t> moving;   // 1 where the velocity is known and at least kMinCourseSpeed
  std::vector<double> course;    // radians, counter-clockwise from east, unwrapped (no jumps of 2π)
  std::vector<double> turnRate;  // degrees per second, positive to the left
};

// `count` points of `points`. Positions are the local frame's X and Y,
// scaled to the WGS 84 radii of the flight's mean latitude; the velocity
// of a point is that from the point before it (the course of the segment
// ending there: fixes minutes apart or a second apart both give a course
// the turn can be followed by). A point that shares its time with the one
// before has none.
void trackMotion(const FlightPoint* points, int32_t count, TrackMotion& motion);

// The phases covering every point of `motion`, in order.
std::vector<FlightPhase> flightPhases(const TrackMotion& motion);

}  // namespace trelvano
