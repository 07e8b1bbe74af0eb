#include "view3d/GroundClearance.h"

#include "view3d/Heights.h"
#include "view3d/RenderPass.h"
#include "view3d/Transform.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace trelvano {

namespace {

constexpr int kMostSteps = 60;  // steps back, each a quarter farther
constexpr double kStepBack = 1.25;
constexpr double kNearestDistance = 10;  // metres between CamY and the eye distance, as the wheel keeps

Camera lifted(const FlightData& data, const Layers& layers, Camera cam) {
  const double above = eyeAboveGround(data, layers, cam);
  if (!(above < kEyeClearance)) return cam;  // no terrain under the eye, or high enough
  // Whole metres, as the camera's holders keep them, and one more for their rounding.
  const double rise = std::ceil(kEyeClearance - above) + 1;
  const EyePoint up = shiftForUp(cam);
  cam.CamX += rise * up.x;
  cam.CamY += rise * up.y;
  cam.CamZ += rise * up.z;
  return cam.settled();
}

}  // namespace

double eyeAboveGround(const FlightData& data, const Layers& layers, const Camera& cam) {
  const HeightRule rule = heightRule(data, layers);
  if (!rule.ground) return std::numeric_limits<double>::infinity();
  const TerrainGrid& g = *rule.ground;
  const EyePoint eye = eyePoint(cam);
  double highest = -std::numeric_limits<double>::infinity();
  for (int dy = -2; dy <= 2; ++dy)
    for (int dx = -2; dx <= 2; ++dx) {
      const double x = eye.x + dx * g.step, y = eye.y + dy * g.step;
      const double fc = (g.x0 - x) / g.step, fr = (y - g.y0) / g.step;
      if (!(fc >= 0 && fr >= 0 && fc <= g.columns - 1 && fr <= g.rows - 1)) continue;
      highest = std::max(highest, rule.groundZ(x, y));
    }
  return std::isfinite(highest) ? eye.z - highest : std::numeric_limits<double>::infinity();
}

bool flightInPicture(const FlightData& data, const Camera& cam, int width, int height) {
  const bool section = data.RangeStart <= data.RangeEnd;
  const int32_t first = std::max(section ? data.RangeStart : 0, 0);
  const int32_t last = std::min(section ? data.RangeEnd : data.LastPoint, kPointCapacity - 1);
  const Projection project(buildViewMatrix(cam));
  const double halfX = RenderPass::S * width / 2, halfZ = RenderPass::S * height / 2;
  for (int32_t i = first; i <= last; ++i) {
    FlightPoint p = data.FlightPath[i];
    const double w = project(p, p.X, p.Y, p.Z * data.Exaggeration);
    if (!(w > 0) || std::abs(p.ProjX) > halfX || std::abs(p.ProjY) > halfZ) return false;
  }
  return true;
}

Camera cameraAboveGround(const FlightData& data, const Layers& layers, const Camera& cam, int width, int height,
                         bool keepFlight) {
  Camera c = lifted(data, layers, cam.settled());
  for (int k = 0; keepFlight && k < kMostSteps && !flightInPicture(data, c, width, height); ++k) {
    const double distance = std::max(c.CamD - c.CamY, kNearestDistance);
    c.CamY = c.CamD - distance * kStepBack;
    c = lifted(data, layers, c.settled());
  }
  return c;
}

}  // namespace trelvano
