#include "analysis/Track.h"

#include "analysis/Spikes.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace trelvano {

namespace {

constexpr double kRadians = std::numbers::pi / 180;
// WGS 84.
constexpr double kSemiMajor = 6378137.0;
constexpr double kFlattening = 1 / 298.257223563;

// Metres per degree of latitude and of longitude at latitude `lat`: the
// meridian and the prime-vertical radius of curvature.
void metresPerDegree(double lat, double& north, double& east) {
  const double e2 = kFlattening * (2 - kFlattening);
  const double s = std::sin(lat * kRadians);
  const double w = std::sqrt(1 - e2 * s * s);
  north = kSemiMajor * (1 - e2) / (w * w * w) * kRadians;
  east = kSemiMajor / w * std::cos(lat * kRadians) * kRadians;
}

}  // namespace

Track makeTrack(const AnalysisInput& in) {
  Track t;
  const size_t n = in.lat.size();
  t.time.assign(n, 0.0);
  t.x.assign(n, 0.0);
  t.y.assign(n, 0.0);
  t.altitude.assign(n, 0.0);
  t.gapBefore.assign(n, 0);
  if (n == 0) return t;

  std::vector<double> steps;
  steps.reserve(n);
  for (size_t i = 1; i < n; ++i) {
    const double step = i < in.timeStep.size() ? in.timeStep[i] : 0.0;
    const double dt = std::isfinite(step) && step > 0 ? step : 0.0;
    t.time[i] = t.time[i - 1] + dt;
    if (dt > 0) steps.push_back(dt);
  }
  if (!steps.empty()) {
    auto middle = steps.begin() + std::ptrdiff_t(steps.size() / 2);
    std::nth_element(steps.begin(), middle, steps.end());
    t.interval = *middle;
  }
  const double gap = std::max(kMinGap, kGapSteps * t.interval);
  for (size_t i = 1; i < n; ++i) t.gapBefore[i] = t.time[i] - t.time[i - 1] > gap;
  t.pieceStart.assign(n, 0);
  t.pieceEnd.assign(n, int32_t(n) - 1);
  for (size_t i = 1; i < n; ++i) t.pieceStart[i] = t.gapBefore[i] ? int32_t(i) : t.pieceStart[i - 1];
  for (size_t i = n - 1; i-- > 0;) t.pieceEnd[i] = t.gapBefore[i + 1] ? int32_t(i) : t.pieceEnd[i + 1];

  // Positions step by step, each step with the scale of its middle latitude;
  // a fix without a finite position stays where the one before was.
  double lastLat = NAN, lastLon = NAN, scaleLat = NAN, north = 0, east = 0;
  for (size_t i = 0; i < n; ++i) {
    const double lat = in.lat[i], lon = i < in.lon.size() ? in.lon[i] : NAN;
    if (i > 0) {
      t.x[i] = t.x[i - 1];
      t.y[i] = t.y[i - 1];
    }
    if (!std::isfinite(lat) || !std::isfinite(lon) || std::abs(lat) > 90) continue;
    if (std::isfinite(lastLat)) {
      // The scale changes by a few in 10,000 over a kilometre: take it anew every kilometre or so.
      const double middle = (lat + lastLat) / 2;
      if (!(std::abs(middle - scaleLat) < 0.01)) metresPerDegree(scaleLat = middle, north, east);
      t.x[i] += std::remainder(lon - lastLon, 360.0) * east;
      t.y[i] += (lat - lastLat) * north;
    }
    lastLat = lat, lastLon = lon;
  }

  for (size_t i = 0; i < n; ++i) {
    const double h = i < in.altitude.size() ? in.altitude[i] : NAN;
    t.altitude[i] = std::isfinite(h) ? h : (i > 0 ? t.altitude[i - 1] : 0.0);
  }
  t.spikes = passOverSpikes(t.time, t.altitude);
  return t;
}

FixWindow fixWindow(const Track& t, int32_t i, double half) {
  const auto begin = t.time.begin();
  const int32_t first = t.pieceStart[size_t(i)], last = t.pieceEnd[size_t(i)];
  const double now = t.time[size_t(i)];
  FixWindow w;
  w.first = int32_t(std::lower_bound(begin + first, begin + i, now - half) - begin);
  w.last = int32_t(std::upper_bound(begin + i, begin + last + 1, now + half) - begin) - 1;
  if (w.first == i && i > first) --w.first;
  if (w.last == i && i < last) ++w.last;
  return w;
}

std::vector<FixWindow> fixWindows(const Track& t, double half) {
  const int32_t n = t.size();
  std::vector<FixWindow> windows(static_cast<size_t>(n));
  int32_t a = 0, b = 0;
  for (int32_t i = 0; i < n; ++i) {
    const int32_t first = t.pieceStart[size_t(i)], last = t.pieceEnd[size_t(i)];
    const double now = t.time[size_t(i)];
    a = std::max(a, first);
    while (a < i && t.time[size_t(a)] < now - half) ++a;
    b = std::max(b, i);
    while (b < last && t.time[size_t(b) + 1] <= now + half) ++b;
    FixWindow& w = windows[size_t(i)];
    w.first = a == i && i > first ? i - 1 : a;
    w.last = b == i && i < last ? i + 1 : b;
  }
  return windows;
}

}  // namespace trelvano
