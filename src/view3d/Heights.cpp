#include "view3d/Heights.h"

#include <algorithm>
#include <cmath>

namespace trelvano {

double HeightRule::groundZ(double x, double y) const {
  const TerrainGrid& g = *ground;
  if (!(g.step > 0)) return 0;
  const double fc = (g.x0 - x) / g.step, fr = (y - g.y0) / g.step;
  if (!(fc >= 0 && fr >= 0 && fc <= g.columns - 1 && fr <= g.rows - 1)) return 0;  // NaN too
  const int c = std::min(static_cast<int>(fc), g.columns - 2), r = std::min(static_cast<int>(fr), g.rows - 2);
  const double u = fc - c, v = fr - r;
  const float* h = g.height.data() + g.index(c, r);
  const double h00 = h[0], h10 = h[1], h01 = h[g.columns], h11 = h[g.columns + 1];
  double ground = (1 - v) * ((1 - u) * h00 + u * h10) + v * ((1 - u) * h01 + u * h11);
  if (std::isnan(ground)) {
    // Some corners have no height: the others, weighted as they were.
    const double corner[4] = {h00, h10, h01, h11};
    const double weight[4] = {(1 - u) * (1 - v), u * (1 - v), (1 - u) * v, u * v};
    double sum = 0, weights = 0;
    for (int k = 0; k < 4; ++k)
      if (!std::isnan(corner[k])) {
        sum += weight[k] * corner[k];
        weights += weight[k];
      }
    if (!(weights > 1e-9)) return 0;
    ground = sum / weights;
  }
  return (ground - startAltitude) * scale;
}

}  // namespace trelvano
