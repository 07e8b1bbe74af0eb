#include "view3d/Camera.h"

#include "model/Numbers.h"

#include <algorithm>
#include <cstdint>
#include <limits>

namespace trelvano {

namespace {

constexpr int64_t kIntMin = std::numeric_limits<int32_t>::min();
constexpr int64_t kIntMax = std::numeric_limits<int32_t>::max();

// Round, then into min … max; values beyond the 64-bit range hold at the ends too.
int64_t wholeWithin(double v, int64_t min, int64_t max) {
  if (v <= double(min)) return min;
  if (v >= double(max)) return max;
  return std::clamp<int64_t>(Round(v), min, max);
}

// A value above 360 into 1 … 360, as repeated "value - 360" steps would.
int64_t wrapDown(int64_t v) { return v > 360 ? v - 360 * ((v - 1) / 360) : v; }

}  // namespace

Camera Camera::settled() const {
  Camera c;
  c.CamZ = double(wholeWithin(checkedFinite(CamZ), -10000, 100000));
  c.CamX = double(wholeWithin(checkedFinite(CamX), kIntMin, kIntMax));
  c.CamY = double(wholeWithin(checkedFinite(CamY), kIntMin, kIntMax));
  c.CamD = double(wholeWithin(checkedFinite(CamD), 1, 3000000));
  int64_t a = wrapDown(wholeWithin(checkedFinite(CamA), kIntMin, kIntMax));
  if (a < 0) a += 360 * ((-a + 359) / 360);  // into 0 … 359
  c.CamA = double(a);
  int64_t e = wrapDown(wholeWithin(checkedFinite(CamE), kIntMin, kIntMax));
  if (e < -360) e += 360 * ((-e - 1) / 360);  // into -360 … -1
  c.CamE = double(e);
  return c;
}

}  // namespace trelvano
