#include "view3d/Framing.h"

#include "model/Numbers.h"
#include "model/RunError.h"
#include "view3d/RenderPass.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <numbers>
#include <vector>

namespace trelvano {

namespace {

constexpr double kMarginShare = 0.08;  // of the picture, on every side (clear of the start coordinates line)
constexpr double kNearest = 10;        // metres between CamY and the eye distance, as the wheel keeps
constexpr int64_t kHolderMin = std::numeric_limits<int32_t>::min();
constexpr double kCamZMin = -10000, kCamZMax = 100000;  // the clamps of CamZ's holder

// The view's rotation without its shift: what the camera's azimuth and elevation do to a point
// (its Z drawn `heightScale` times as high).
struct Rotation {
  double ca, sa, ce, se;
  double heightScale;
  Rotation(const Camera& cam, double scale)
      : ca(std::cos(cam.CamA * std::numbers::pi / 180)),
        sa(std::sin(cam.CamA * std::numbers::pi / 180)),
        ce(std::cos(cam.CamE * std::numbers::pi / 180)),
        se(std::sin(cam.CamE * std::numbers::pi / 180)),
        heightScale(scale) {}
};

// A point turned into the view's axes: x across, y along the line of sight, z up.
struct Turned {
  double x, y, z;
};
Turned turn(const FlightPoint& p, const Rotation& r) {
  const double y1 = p.X * r.sa + p.Y * r.ca;
  const double z = p.Z * r.heightScale;
  return {p.X * r.ca - p.Y * r.sa, y1 * r.ce - z * r.se, y1 * r.se + z * r.ce};
}

struct Fit {
  bool fits;
  double camX, camZ;
  double spanX = 0, spanZ = 0;  // projected extent of the points with these shifts
};

// Whether the points fit with the camera CamY metres along its axis, and the
// shifts that centre them. A point lies inside when |x′| ≤ halfX · w and
// |z′| ≤ halfZ · w with w > 0, which bounds CamX and CamZ to an interval each.
Fit fitAt(const std::vector<Turned>& points, double camY, double camD, double halfX, double halfZ) {
  double loX = -INFINITY, hiX = INFINITY, loZ = -INFINITY, hiZ = INFINITY;
  for (const Turned& t : points) {
    const double w = 1 + (t.y - camY) / camD;
    if (!(w > 0)) return {false, 0, 0};
    loX = std::max(loX, t.x - halfX * w);
    hiX = std::min(hiX, t.x + halfX * w);
    loZ = std::max(loZ, t.z - halfZ * w);
    hiZ = std::min(hiZ, t.z + halfZ * w);
  }
  // The holders keep whole metres, and CamZ's clamps: the shift must still lie in the interval.
  const double camX = roundHalfEven((loX + hiX) / 2);
  const double camZ = std::clamp(roundHalfEven((loZ + hiZ) / 2), kCamZMin, kCamZMax);
  return {loX <= camX && camX <= hiX && loZ <= camZ && camZ <= hiZ, camX, camZ};
}

// The projected extremes of the points with the camera at camY and the shifts of `fit`.
struct Extremes {
  double minX = INFINITY, maxX = -INFINITY, minZ = INFINITY, maxZ = -INFINITY;
};
Extremes projectedExtremes(const std::vector<Turned>& points, double camY, double camD, double camX, double camZ) {
  Extremes e;
  for (const Turned& t : points) {
    const double w = 1 + (t.y - camY) / camD;
    const double px = (t.x - camX) / w, pz = (t.z - camZ) / w;
    e.minX = std::min(e.minX, px), e.maxX = std::max(e.maxX, px);
    e.minZ = std::min(e.minZ, pz), e.maxZ = std::max(e.maxZ, pz);
  }
  return e;
}

// Moves the shifts of a fit, within the whole metres that still fit, until
// the flight's projected extremes lie as evenly about the picture's centre as
// they can: with perspective the middle of the allowed interval is not that.
void centre(const std::vector<Turned>& points, double camY, double camD, double halfX, double halfZ, Fit& fit) {
  auto fits = [&](double camX, double camZ) {
    const Extremes e = projectedExtremes(points, camY, camD, camX, camZ);
    return e.minX >= -halfX && e.maxX <= halfX && e.minZ >= -halfZ && e.maxZ <= halfZ;
  };
  // A larger shift moves every projected point the same way, so the
  // imbalance maxX + minX falls as the shift grows: halve towards its zero.
  auto balance = [&](double& shift, bool alongX) {
    double lo = shift - 1e7, hi = shift + 1e7;
    for (int k = 0; k < 60 && hi - lo > 0.5; ++k) {
      const double mid = (lo + hi) / 2;
      const Extremes e = alongX ? projectedExtremes(points, camY, camD, mid, fit.camZ)
                                : projectedExtremes(points, camY, camD, fit.camX, mid);
      ((alongX ? e.maxX + e.minX : e.maxZ + e.minZ) > 0 ? lo : hi) = mid;
    }
    const double whole = roundHalfEven((lo + hi) / 2);
    const double clamped = alongX ? whole : std::clamp(whole, kCamZMin, kCamZMax);
    const double before = shift;
    shift = clamped;
    if (!fits(fit.camX, fit.camZ)) shift = before;
  };
  balance(fit.camX, true);
  balance(fit.camZ, false);
  const Extremes e = projectedExtremes(points, camY, camD, fit.camX, fit.camZ);
  fit.spanX = e.maxX - e.minX;
  fit.spanZ = e.maxZ - e.minZ;
}

}  // namespace

std::optional<CameraShift> framingShift(const FlightData& data, const Camera& cam, int width, int height, int32_t first,
                                        int32_t last, const std::vector<FlightPoint>& also) {
  if (first > last) return std::nullopt;
  checkIndex(first, kPointCapacity);
  checkIndex(last, kPointCapacity);
  // Every try below projects all points again: turn them once (BM_OpenIgc65536Fixes: 30 → 23 ms CPU).
  const Rotation r(cam, data.Exaggeration);
  std::vector<Turned> points(size_t(last - first) + 1);
  for (int32_t i = first; i <= last; ++i) points[size_t(i - first)] = turn(data.FlightPath[i], r);
  for (const FlightPoint& p : also) points.push_back(turn(p, r));
  // The picture's centre is projected 0; a pixel is RenderPass::S projected units.
  const double halfX = RenderPass::S * width * (0.5 - kMarginShare);
  const double halfZ = RenderPass::S * height * (0.5 - kMarginShare);
  auto fit = [&](int64_t camY) { return fitAt(points, double(camY), cam.CamD, halfX, halfZ); };

  // The nearest whole-metre CamY at which the flight fits: step back until it
  // does, then halve the distance to the nearest that does not.
  const int64_t nearest = static_cast<int64_t>(std::floor(cam.CamD - kNearest));
  int64_t fits = nearest, fails = nearest;
  for (int64_t step = 1; !fit(fits).fits; step *= 2) {
    fails = fits;
    fits = nearest - step;
    if (fits < kHolderMin) return std::nullopt;
  }
  while (fails - fits > 1) {
    const int64_t mid = fits + (fails - fits) / 2;
    (fit(mid).fits ? fits : fails) = mid;
  }
  Fit best = fit(fits);
  centre(points, double(fits), cam.CamD, halfX, halfZ, best);
  const double fill = std::max(best.spanX / (RenderPass::S * width), best.spanZ / (RenderPass::S * height));
  return CameraShift{best.camX, double(fits), best.camZ, fill};
}

Camera cameraAfterFrameMove(const Camera& cam, const FrameOrigin& from, const FrameOrigin& to, double heightScale) {
  FlightPoint moved{};
  moved.X = frameX(to.lat, to.lon, from);
  moved.Y = frameY(to.lat, from);
  moved.Z = to.altitude - from.altitude;
  // Turned into the view's axes (x across, y along the sight, z up) as the matrix orders them.
  const Turned t = turn(moved, Rotation(cam, heightScale));
  Camera c = cam;
  c.CamX -= t.x;
  c.CamY -= t.y;
  c.CamZ -= t.z;
  return c.settled();
}

}  // namespace trelvano
