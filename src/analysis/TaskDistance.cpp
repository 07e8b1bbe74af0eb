#include "analysis/TaskDistance.h"

#include "analysis/Geodesic.h"

#include <limits>

namespace trelvano {

TaskDistances taskDistances(const std::vector<TaskPoint>& task) {
  constexpr double kNone = std::numeric_limits<double>::quiet_NaN();
  const int n = int(task.size());
  TaskDistances d;
  d.legs.assign(size_t(n), kNone);
  d.takeoffLeg = d.landingLeg = kNone;
  if (n >= 4) d.takeoff = 0, d.landing = n - 1;
  const int first = n >= 4 ? 1 : 0, last = n >= 4 ? n - 2 : n - 1;
  auto leg = [&](int a, int b) {
    const TaskPoint &p = task[size_t(a)], &q = task[size_t(b)];
    return p.placeholder || q.placeholder ? kNone : geodesicDistance(p.lat, p.lon, q.lat, q.lon);
  };
  int previous = -1;
  for (int k = first; k <= last; ++k) {
    if (task[size_t(k)].placeholder) continue;
    if (previous >= 0) {
      d.legs[size_t(k)] = leg(previous, k);
      d.total += d.legs[size_t(k)];
    }
    previous = k;
  }
  if (n >= 4) {
    d.takeoffLeg = leg(0, first);
    d.landingLeg = leg(last, n - 1);
  }
  return d;
}

}  // namespace trelvano
