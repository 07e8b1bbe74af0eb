#include "analysis/Geodesic.h"

#include <geodesic.h>

#include <algorithm>
#include <cmath>

namespace trelvano {

namespace {

const geod_geodesic& wgs84() {
  static const geod_geodesic g = [] {
    geod_geodesic e;
    geod_init(&e, 6378137.0, 1 / 298.257223563);
    return e;
  }();
  return g;
}

}  // namespace

double geodesicDistance(double lat1, double lon1, double lat2, double lon2) {
  if (!std::isfinite(lat1) || !std::isfinite(lon1) || !std::isfinite(lat2) || !std::isfinite(lon2)) return 0;
  double s12 = 0, azi1 = 0, azi2 = 0;
  geod_inverse(&wgs84(), std::clamp(lat1, -90.0, 90.0), lon1, std::clamp(lat2, -90.0, 90.0), lon2, &s12, &azi1, &azi2);
  return std::isfinite(s12) ? s12 : 0;
}

}  // namespace trelvano
