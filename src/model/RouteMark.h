#pragma once
// A route the 3D view draws on the ground: its legs as lines from point to
// point and, for a triangle, the gap between its start and finish dashed.

#include <vector>

namespace trelvano {

struct GeoPoint {
  double lat = 0, lon = 0;  // degrees, north and east positive
};

struct RouteMark {
  std::vector<GeoPoint> legs;  // a line from each point to the next
  std::vector<GeoPoint> gap;   // two points, joined by a dashed line; empty for none
  bool empty() const { return legs.empty() && gap.empty(); }
};

}  // namespace trelvano
