#pragma once

namespace trelvano {

// Geodesic distance in metres on the WGS 84 ellipsoid (PROJ's geodesic
// routines); 0 when a coordinate is not finite.
double geodesicDistance(double lat1, double lon1, double lat2, double lon2);

}  // namespace trelvano
