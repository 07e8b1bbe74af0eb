#include "analysis/score/EarthDistance.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace trelvano {

namespace {

constexpr double kA = 6378137.0;               // WGS 84 semi-major axis, metres
constexpr double kF = 1 / 298.257223563;       // WGS 84 flattening
constexpr double kE2 = kF * (2 - kF);          // first eccentricity squared
constexpr double kMinRadius = kA * (1 - kE2);  // the meridian's radius of curvature at the equator
constexpr double kFaiRadius = 6371000.0;

double arcOfChord(double chord, double radius) { return 2 * radius * std::asin(std::min(1.0, chord / (2 * radius))); }

// The arc over a chord, 2r asin(c / 2r), is at least c + c^3 / 24r^2: the
// series of asin has no negative terms.
double arcAtLeast(double chord, double radius) { return chord + chord * chord * chord / (24 * radius * radius); }

}  // namespace

EarthDistance::EarthDistance(DistanceFormula formula) : formula_(formula) {
  geod_init(&ellipsoid_, kA, kF);
  const double radius = formula == DistanceFormula::FaiSphere ? kFaiRadius : kMinRadius;
  arcTerm_ = 24 * radius * radius;
}

SpacePoint EarthDistance::point(double lat, double lon) const {
  const double phi = lat * std::numbers::pi / 180, lambda = lon * std::numbers::pi / 180;
  const double sinPhi = std::sin(phi), cosPhi = std::cos(phi);
  if (formula_ == DistanceFormula::FaiSphere)
    return {kFaiRadius * cosPhi * std::cos(lambda), kFaiRadius * cosPhi * std::sin(lambda), kFaiRadius * sinPhi};
  const double n = kA / std::sqrt(1 - kE2 * sinPhi * sinPhi);  // the prime vertical's radius of curvature
  return {n * cosPhi * std::cos(lambda), n * cosPhi * std::sin(lambda), n * (1 - kE2) * sinPhi};
}

double EarthDistance::metres(double lat1, double lon1, double lat2, double lon2) const {
  if (formula_ == DistanceFormula::FaiSphere) {
    const SpacePoint p = point(lat1, lon1), q = point(lat2, lon2);
    return arcOfChord(std::hypot(p.x - q.x, p.y - q.y, p.z - q.z), kFaiRadius);
  }
  double s12 = 0;
  geod_inverse(&ellipsoid_, lat1, lon1, lat2, lon2, &s12, nullptr, nullptr);
  return s12;
}

double EarthDistance::atLeast(double chord) const {
  // On the ellipsoid the straight line is the shortest way between two points.
  const double d = formula_ == DistanceFormula::FaiSphere ? arcAtLeast(chord, kFaiRadius) : chord;
  return std::max(0.0, d * (1 - kRelativeMargin) - kAbsoluteMargin);
}

}  // namespace trelvano
