#pragma once
// The distances of a declared task. A declaration lists take-off, start,
// turnpoints, finish and landing; the task is flown from the start to the
// finish, so its total leaves out the legs from the take-off and to the
// landing. A declaration of fewer than four points names no take-off or
// landing: all its points are the task. Placeholders (declared at 0°/0°)
// make no leg; the legs join the points on either side of them.

#include "model/IgcExtras.h"

#include <vector>

namespace trelvano {

struct TaskDistances {
  int takeoff = -1, landing = -1;  // task indices; -1 = the declaration has none
  std::vector<double> legs;        // per point, metres: the leg of the task ending there; NaN = none
  double total = 0;                // metres, start to finish
  double takeoffLeg = 0;           // metres, take-off to start; NaN where either is a placeholder or missing
  double landingLeg = 0;           // metres, finish to landing; NaN likewise
};

TaskDistances taskDistances(const std::vector<TaskPoint>& task);

}  // namespace trelvano
