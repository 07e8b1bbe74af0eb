#include "overlay/WindFromCircling.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace trelvano {

CircleFit fitCircle(const double* x, const double* y, int n) {
  CircleFit fit;
  if (n < 3) return fit;
  double mx = 0, my = 0;
  for (int k = 0; k < n; ++k) mx += x[k], my += y[k];
  mx /= n, my /= n;
  // Around the mean: Suu·a + Suv·b = (Suuu + Suvv)/2, Suv·a + Svv·b = (Svvv + Svuu)/2.
  double suu = 0, svv = 0, suv = 0, suuu = 0, svvv = 0, suvv = 0, svuu = 0;
  for (int k = 0; k < n; ++k) {
    const double u = x[k] - mx, v = y[k] - my;
    suu += u * u, svv += v * v, suv += u * v;
    suuu += u * u * u, svvv += v * v * v, suvv += u * v * v, svuu += v * u * u;
  }
  const double det = suu * svv - suv * suv;
  if (!(std::abs(det) > 1e-12 * (suu * svv + 1e-300))) return fit;
  const double ru = (suuu + suvv) / 2, rv = (svvv + svuu) / 2;
  const double a = (ru * svv - rv * suv) / det;
  const double b = (rv * suu - ru * suv) / det;
  fit.x = mx + a;
  fit.y = my + b;
  fit.radius = std::sqrt(a * a + b * b + (suu + svv) / n);
  double sq = 0;
  for (int k = 0; k < n; ++k) {
    const double d = std::hypot(x[k] - fit.x, y[k] - fit.y) - fit.radius;
    sq += d * d;
  }
  fit.rms = std::sqrt(sq / n);
  fit.ok = std::isfinite(fit.x) && std::isfinite(fit.y) && std::isfinite(fit.radius);
  return fit;
}

double windFromDegrees(double east, double north) {
  double d = std::atan2(-east, -north) * 180 / std::numbers::pi;
  if (d < 0) d += 360;
  return d >= 360 ? 0.0 : d;
}

namespace {

// The ground velocities of a turn are taken over chords of up to this many
// seconds and this much of the turn: long enough to quiet the noise of
// single fixes, short enough to stay a small part of the circle.
constexpr double kChordSeconds = 6.0;
constexpr double kChordTurn = 5 * std::numbers::pi / 6;
constexpr int32_t kMinTurnSamples = 7;

// The estimate of the turn over points a … b (inside the phase's points
// lo … hi), or false when it is no circle.
bool turnWind(const FlightPoint* p, const TrackMotion& m, int32_t lo, int32_t hi, int32_t a, int32_t b,
              std::vector<double>& xs, std::vector<double>& ys, WindEstimate& w) {
  const double duration = m.time[size_t(b)] - m.time[size_t(a)];
  if (!(duration > 0) || b <= a) return false;
  const double step = duration / (b - a);
  const double rate = std::abs(m.course[size_t(b)] - m.course[size_t(a)]) / duration;  // radians per second
  const int32_t k = std::max<int32_t>(1, int32_t(std::min(kChordSeconds / step, kChordTurn / (rate * step)) + 1e-9));
  xs.clear();
  ys.clear();
  double height = 0, span = 0;
  // A turn of a handful of fixes (4 s apart) borrows the next ones, of the same circle.
  const int32_t last = std::min(std::max(b, a + kMinTurnSamples - 1), hi);
  for (int32_t i = a; i <= last; ++i) {
    const int32_t from = std::max(lo, i - k / 2), to = std::min(hi, from + k);
    const double dt = m.time[size_t(to)] - m.time[size_t(from)];
    if (!(dt > 0)) continue;
    xs.push_back((m.x[size_t(to)] - m.x[size_t(from)]) / dt);
    ys.push_back((m.y[size_t(to)] - m.y[size_t(from)]) / dt);
    height += p[i].Altitude;
    span += dt;
  }
  const int count = int(xs.size());
  if (count < kMinTurnPoints) return false;
  const CircleFit fit = fitCircle(xs.data(), ys.data(), count);
  if (!fit.ok || fit.radius < kMinAirspeed || fit.rms > kMaxCircleDeviation * fit.radius) return false;

  // A chord's velocity is the true one shrunk by sin(x)/x, x half the angle turned along it.
  const double half = rate * (span / count) / 2;
  const double shrink = half > 1e-6 && half < 2.5 ? std::sin(half) / half : 1.0;

  w.from = a;
  w.to = b;
  w.time = (m.time[size_t(a)] + m.time[size_t(b)]) / 2;
  w.height = height / count;
  w.speed = std::hypot(fit.x, fit.y) * 3.6;
  w.windFrom = windFromDegrees(fit.x, fit.y);
  w.airspeed = fit.radius / shrink * 3.6;
  w.quality = std::clamp(1 - fit.rms / fit.radius, 0.0, 1.0);
  return true;
}

}  // namespace

std::vector<WindEstimate> windFromCircling(const FlightPoint* p, const TrackMotion& m,
                                           const std::vector<FlightPhase>& phases) {
  std::vector<WindEstimate> wind;
  std::vector<double> xs, ys;
  constexpr double kFullTurn = 2 * std::numbers::pi;
  for (const FlightPhase& ph : phases) {
    if (ph.kind != PhaseKind::Circling) continue;
    // Turns start half a smoothing window in: the phase's ends may still be straight.
    int32_t lo = ph.from, hi = ph.to;
    while (lo < hi && m.time[size_t(lo)] < m.time[size_t(ph.from)] + kRateWindow / 2) ++lo;
    while (hi > lo && m.time[size_t(hi)] > m.time[size_t(ph.to)] - kRateWindow / 2) --hi;
    // Full turns one after the other: the course comes round 360° in one
    // sense. Course changes back and forth (an S-turn) that add up to more
    // than a turn and a half without that start the count anew.
    int32_t a = lo;
    double turned = 0;
    for (int32_t i = lo + 1; i <= hi; ++i) {
      turned += std::abs(m.course[size_t(i)] - m.course[size_t(i) - 1]);
      const double net = std::abs(m.course[size_t(i)] - m.course[size_t(a)]);
      if (net >= kFullTurn) {
        WindEstimate w;
        if (turnWind(p, m, ph.from, ph.to, a, i - 1, xs, ys, w)) wind.push_back(w);
        a = i;
        turned = 0;
      } else if (turned >= 1.5 * kFullTurn) {
        a = i;
        turned = 0;
      }
    }
  }
  return wind;
}

}  // namespace trelvano
