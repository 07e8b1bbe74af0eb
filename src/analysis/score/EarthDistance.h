#pragma once
// Distances between fixes as a league measures them, and the cheap bounds the
// solver prunes with: every fix also gets a point in space (earth-centred,
// metres), and the straight line between two such points bounds the distance
// over the surface from both sides.

#include "analysis/score/LeagueRules.h"

#include <geodesic.h>

namespace trelvano {

struct SpacePoint {
  double x, y, z;  // metres from the earth's centre; z towards the north pole
};

class EarthDistance {
 public:
  explicit EarthDistance(DistanceFormula formula);

  // The point of a fix at height 0 (degrees; north and east positive).
  SpacePoint point(double lat, double lon) const;
  // The distance over the surface, metres.
  double metres(double lat1, double lon1, double lat2, double lon2) const;
  // The least and the greatest surface distance of two points whose straight
  // line (chord) is `chord` metres long, with a margin for rounding.
  double atLeast(double chord) const;
  //
  // On the ellipsoid: a geodesic bends no more than the surface does along
  // it, and no normal section is more curved than the meridian at the
  // equator. A curve no more curved than a circle is no longer over the same
  // chord than that circle's arc (Schur's comparison theorem, for arcs up to
  // half the circle, which every chord below 5000 km keeps to). The arc,
  // 2r asin(c/2r), is at most c + c^3 / (24 r^2 - 6 c^2): the series of asin
  // has no coefficient above 1/6 after its first.
  double atMost(double chord) const {
    if (chord > kConvexUpTo) return kLongest;
    const double c2 = chord * chord;
    return (chord + chord * c2 / (arcTerm_ - 6 * c2)) * (1 + kRelativeMargin) + kAbsoluteMargin;
  }
  // Whether atMost() is convex up to `chord` (it is for every flight; it
  // jumps to the longest distance on earth beyond 5000 km).
  bool boundIsConvex(double chord) const { return chord <= kConvexUpTo; }
  static constexpr double kConvexUpTo = 5.0e6;

 private:
  // Longer than any shortest path on the earth (half a meridian is 20,004 km).
  static constexpr double kLongest = 2.01e7;
  // Rounding of the coordinates (about 1e-9 m) and of the geodesic routine.
  static constexpr double kRelativeMargin = 1e-9, kAbsoluteMargin = 1e-6;

  DistanceFormula formula_;
  geod_geodesic ellipsoid_;
  // 24 r^2 of the circle whose arcs bound the distances: the FAI sphere's,
  // or the tightest curve of the ellipsoid (see atMost() in the source).
  double arcTerm_;
};

}  // namespace trelvano
