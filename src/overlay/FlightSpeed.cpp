#include "overlay/FlightSpeed.h"

#include <cmath>

namespace trelvano {

SegmentSpeed segmentSpeed(const FlightPoint& previous, const FlightPoint& point) {
  SegmentSpeed s;
  const double dt = point.TimeStep;
  if (!(dt > 0)) return s;  // also catches NaN
  const double dx = point.X - previous.X;
  const double dy = point.Y - previous.Y;
  const double dz = point.Z - previous.Z;
  const double horizontal = dx * dx + dy * dy;
  s.air = std::sqrt(horizontal + dz * dz) / dt;
  s.ground = std::sqrt(horizontal) / dt;
  s.defined = std::isfinite(s.air) && std::isfinite(s.ground);
  return s;
}

double specificEnergy(double speed, double z) { return speed * speed / 2 + 9.81 * z; }

}  // namespace trelvano
