#pragma once
// Speeds between two neighbouring flight points and the jump filter that
// overlays and statistics apply to them.

#include "model/FlightPoint.h"

namespace trelvano {

struct SegmentSpeed {
  // False when the point's time step is not positive (two fixes in the same
  // second give 0): its speed is undefined and the speed passes leave it out.
  bool defined = false;
  double air = 0;     // m/s along the 3D path from the previous point
  double ground = 0;  // m/s horizontal
};

// Speed of the segment that ends at `point`, over point.TimeStep seconds.
SegmentSpeed segmentSpeed(const FlightPoint& previous, const FlightPoint& point);

// Specific energy in J/kg of a point moving at `speed` m/s at height z metres.
double specificEnergy(double speed, double z);

// Rejects speeds that jump more than 25 m/s above the last accepted one. The
// first speed fed in is always accepted and becomes the reference; the passes
// run from the end of the flight towards its start.
struct JumpFilter {
  static constexpr double kMaxJump = 25.0;  // m/s

  bool started = false;
  double reference = 0;  // m/s, the last accepted speed

  // True when v is accepted (it then becomes the reference).
  bool accept(double v) {
    if (!started || v <= reference + kMaxJump) {
      started = true;
      reference = v;
      return true;
    }
    return false;
  }
};

}  // namespace trelvano
