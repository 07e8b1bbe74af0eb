#pragma once
// Cross-country flights to score, as the fixes the scoring takes: glides
// from turnpoint to turnpoint and thermals on the way, circles drifting with
// the wind, a fix a second, noisy by a metre. Shared by the scoring tests and
// the benchmarks.

#include "analysis/score/FlightScore.h"

#include <cmath>
#include <numbers>
#include <random>
#include <vector>

namespace trelvano::synthetic {

struct XcFlight {
  double lat = 46.0, lon = 8.0;            // where the flight starts, degrees
  std::vector<double> route;               // turnpoints after the start: east, north in metres, in pairs
  double glideSpeed = 11;                  // m/s over the ground
  double glideSeconds = 300;               // between two thermals
  double thermalSeconds = 200;             // circling in each
  double radius = 60;                      // of the circles, metres
  double driftEast = 1.0, driftNorth = 0;  // the thermals' drift, m/s
  double noise = 1.0;                      // metres
  double altitude = 1500;                  // at the start; glides sink 1 m/s, thermals climb 2 m/s
  unsigned seed = 7;
};

// The fixes of `f` until it reaches its last turnpoint.
inline std::vector<ScoreFix> xcFixes(const XcFlight& f) {
  std::mt19937 rng(f.seed);
  std::normal_distribution<double> noise(0.0, f.noise);
  const double metresPerDegree = 111320.0;
  const double cosLat = std::cos(f.lat * std::numbers::pi / 180);
  std::vector<ScoreFix> fixes;
  double x = 0, y = 0, z = f.altitude, t = 0;
  auto fix = [&] {
    const int index = static_cast<int>(fixes.size());
    fixes.push_back({f.lat + (y + noise(rng)) / metresPerDegree, f.lon + (x + noise(rng)) / (metresPerDegree * cosLat),
                     z, 1.7e9 + t, index});
    t += 1;
  };
  fix();
  double glided = 0;
  for (size_t k = 0; k + 1 < f.route.size(); k += 2) {
    const double tx = f.route[k], ty = f.route[k + 1];
    for (double left = std::hypot(tx - x, ty - y); left > f.glideSpeed; left = std::hypot(tx - x, ty - y)) {
      x += f.glideSpeed * (tx - x) / left, y += f.glideSpeed * (ty - y) / left, z -= 1;
      fix();
      if (++glided < f.glideSeconds) continue;
      glided = 0;
      // A thermal: circles around a drifting centre, entered where the glide ended.
      const double heading = std::atan2(ty - y, tx - x);
      double cx = x - f.radius * std::sin(heading), cy = y + f.radius * std::cos(heading);
      double angle = heading - std::numbers::pi / 2;
      for (int s = 0; s < f.thermalSeconds; ++s) {
        angle += 2 * std::numbers::pi / 25;
        cx += f.driftEast, cy += f.driftNorth;
        x = cx + f.radius * std::cos(angle), y = cy + f.radius * std::sin(angle), z += 2;
        fix();
      }
    }
    x = tx, y = ty;
    fix();
  }
  return fixes;
}

}  // namespace trelvano::synthetic
