#include "analysis/WindFromCircling.h"

#include "analysis/FastAtan2.h"

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
    const double dx = x[k] - fit.x, dy = y[k] - fit.y;
    const double d = std::sqrt(dx * dx + dy * dy) - fit.radius;
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

constexpr double kFullTurn = 2 * std::numbers::pi;
// A turn of a handful of fixes (4 s or more apart) borrows the next ones, of
// the same circle, up to this many velocities.
constexpr int32_t kMinTurnSamples = 7;

// Solves m·x = r for two right-hand sides by elimination with pivoting;
// false when m is singular.
bool solve4(double (&m)[4][4], double (&r)[2][4], double (&x)[2][4]) {
  for (int c = 0; c < 4; ++c) {
    int pivot = c;
    for (int k = c + 1; k < 4; ++k)
      if (std::abs(m[k][c]) > std::abs(m[pivot][c])) pivot = k;
    if (!(std::abs(m[pivot][c]) > 1e-9)) return false;
    std::swap(m[c], m[pivot]);
    for (auto& rhs : r) std::swap(rhs[c], rhs[pivot]);
    for (int k = c + 1; k < 4; ++k) {
      const double f = m[k][c] / m[c][c];
      for (int j = c; j < 4; ++j) m[k][j] -= f * m[c][j];
      for (auto& rhs : r) rhs[k] -= f * rhs[c];
    }
  }
  for (int s = 0; s < 2; ++s)
    for (int c = 3; c >= 0; --c) {
      double v = r[s][c];
      for (int j = c + 1; j < 4; ++j) v -= m[c][j] * x[s][j];
      x[s][c] = v / m[c][c];
    }
  return true;
}

// The drift of fixes a … last flown round in circles at `omega` radians per
// second: their positions fitted by a place, a drift over time and a
// circle's cosine and sine. It takes every position's few metres of error
// once, where a velocity takes two of them over a few seconds.
bool circleDrift(const Track& t, int32_t a, int32_t last, double omega, double& east, double& north) {
  const double middle = (t.time[size_t(a)] + t.time[size_t(last)]) / 2;
  double m[4][4] = {}, r[2][4] = {}, x[2][4] = {};
  // The cosine and sine step on by the turn between two fixes, taken anew
  // only where the step between them changes.
  double c = std::cos(omega * (t.time[size_t(a)] - middle)), s = std::sin(omega * (t.time[size_t(a)] - middle));
  double step = 0, stepCos = 1, stepSin = 0;
  for (int32_t i = a; i <= last; ++i) {
    const double tau = t.time[size_t(i)] - middle;
    if (i > a) {
      const double dt = t.time[size_t(i)] - t.time[size_t(i) - 1];
      if (dt != step) step = dt, stepCos = std::cos(omega * dt), stepSin = std::sin(omega * dt);
      const double turned = c * stepCos - s * stepSin;
      s = s * stepCos + c * stepSin;
      c = turned;
    }
    const double f[4] = {1, tau, c, s};
    const double p[2] = {t.x[size_t(i)] - t.x[size_t(a)], t.y[size_t(i)] - t.y[size_t(a)]};
    for (int j = 0; j < 4; ++j) {
      for (int k = 0; k < 4; ++k) m[j][k] += f[j] * f[k];
      r[0][j] += f[j] * p[0];
      r[1][j] += f[j] * p[1];
    }
  }
  if (!solve4(m, r, x)) return false;
  east = x[0][1], north = x[1][1];
  return std::isfinite(east) && std::isfinite(north);
}

// The estimate of the turn over fixes a … b (inside the run's fixes
// lo … hi), or false when it is no circle.
bool turnWind(const Track& t, const Motion& m, int32_t hi, int32_t a, int32_t b, bool drift, std::vector<double>& xs,
              std::vector<double>& ys, WindEstimate& w) {
  const double duration = m.middle[size_t(b)] - m.middle[size_t(a)];
  if (!(duration > 0) || b <= a) return false;
  // Radians per second: the slope of the course over the turn (its ends alone
  // carry a fix's error, and the turn ends short of a full circle).
  double st = 0, sc = 0, stt = 0, stc = 0;
  for (int32_t i = a; i <= b; ++i) {
    const double x = m.middle[size_t(i)] - m.middle[size_t(a)], c = m.course[size_t(i)] - m.course[size_t(a)];
    st += x, sc += c, stt += x * x, stc += x * c;
  }
  const double samples = b - a + 1, spread = samples * stt - st * st;
  const double rate = std::abs(spread > 0 ? (samples * stc - st * sc) / spread
                                          : (m.course[size_t(b)] - m.course[size_t(a)]) / duration);
  xs.clear();
  ys.clear();
  double height = 0, chords = 0;
  const int32_t last = std::min(std::max(b, a + kMinTurnSamples - 1), std::min(hi, t.pieceEnd[size_t(a)]));
  for (int32_t i = a; i <= last; ++i) {
    if (!(m.chord[size_t(i)] > 0)) continue;
    xs.push_back(m.east[size_t(i)]);
    ys.push_back(m.north[size_t(i)]);
    height += t.altitude[size_t(i)];
    chords += m.chord[size_t(i)];
  }
  const int count = int(xs.size());
  if (count < kMinTurnPoints) return false;
  const CircleFit fit = fitCircle(xs.data(), ys.data(), count);
  if (!fit.ok || fit.radius < kMinAirspeed || fit.radius > kMaxAirspeed || fit.rms > kMaxCircleDeviation * fit.radius)
    return false;
  // The velocities go round the centre (three quarters of a turn at least).
  double around = 0;
  for (int k = 1; k < count; ++k) {
    const double ax = xs[size_t(k) - 1] - fit.x, ay = ys[size_t(k) - 1] - fit.y;
    const double bx = xs[size_t(k)] - fit.x, by = ys[size_t(k)] - fit.y;
    around += fastAtan2(ax * by - ay * bx, ax * bx + ay * by);
  }
  if (std::abs(around) < 0.75 * kFullTurn) return false;

  // A chord's velocity is the true one shrunk by sin(x)/x, x half the angle turned along it.
  const double half = rate * (chords / count) / 2;
  const double shrink = half > 1e-6 && half < 2.5 ? std::sin(half) / half : 1.0;

  // Where the fixes are close enough to follow the circle, the drift of the
  // positions gives the wind more precisely than the circle's centre.
  double east = fit.x, north = fit.y;
  const double stepTurn = rate * (t.time[size_t(last)] - t.time[size_t(a)]) / std::max(last - a, 1);
  if (drift && stepTurn < std::numbers::pi / 2 && last - a >= 5) {
    double e = 0, n = 0;
    if (circleDrift(t, a, last, rate, e, n) && std::hypot(e - fit.x, n - fit.y) < kMaxCircleDeviation * fit.radius)
      east = e, north = n;
  }
  w.from = a;
  w.to = b;
  w.time = (t.time[size_t(a)] + t.time[size_t(b)]) / 2;
  w.height = height / count;
  w.speed = std::hypot(east, north) * 3.6;
  w.windFrom = windFromDegrees(east, north);
  w.airspeed = fit.radius / shrink * 3.6;
  w.quality = std::clamp(1 - fit.rms / fit.radius, 0.0, 1.0);
  return true;
}

}  // namespace

std::vector<WindEstimate> windFromTurns(const Track& t, const Motion& m, const std::vector<CirclingRun>& runs,
                                        bool drift) {
  std::vector<WindEstimate> wind;
  std::vector<double> xs, ys;
  for (const CirclingRun& run : runs) {
    // Turns start half a smoothing window in: the run's ends may still be straight.
    int32_t lo = run.from, hi = run.to;
    while (lo < hi && t.time[size_t(lo)] < t.time[size_t(run.from)] + kRateWindow / 2) ++lo;
    while (hi > lo && t.time[size_t(hi)] > t.time[size_t(run.to)] - kRateWindow / 2) --hi;
    // Full turns one after the other: the course comes round 360° in one
    // sense. Course changes back and forth (an S-turn) that add up to more
    // than a turn and a half without that, and pauses of the recording,
    // start the count anew.
    int32_t a = lo;
    double turned = 0;
    for (int32_t i = lo + 1; i <= hi; ++i) {
      if (t.gapBefore[size_t(i)]) {
        a = i, turned = 0;
        continue;
      }
      turned += std::abs(m.course[size_t(i)] - m.course[size_t(i) - 1]);
      const double net = std::abs(m.course[size_t(i)] - m.course[size_t(a)]);
      if (net >= kFullTurn) {
        WindEstimate w;
        if (turnWind(t, m, run.to, a, i - 1, drift, xs, ys, w)) wind.push_back(w);
        a = i;
        turned = 0;
      } else if (turned >= 1.5 * kFullTurn) {
        a = i;
        turned = 0;
      }
    }
  }
  std::sort(wind.begin(), wind.end(), [](const WindEstimate& x, const WindEstimate& y) { return x.time < y.time; });
  return wind;
}

WindField windField(const std::vector<WindEstimate>& estimates) {
  WindField field;
  field.reserve(estimates.size());
  for (const WindEstimate& w : estimates) {
    const double rad = w.windFrom * std::numbers::pi / 180;
    field.push_back({w.time, -w.speed / 3.6 * std::sin(rad), -w.speed / 3.6 * std::cos(rad)});
  }
  return field;
}

}  // namespace trelvano
