#pragma once
// Synthetic flights with a known truth, written as IGC text: glides at a set
// airspeed and glide ratio, thermals as circles with a set climb and sense,
// descending spirals and S-turns, everything drifting with a set wind; the
// positions rounded to the IGC's thousandth of a minute and noisy by about a
// metre. Shared by the analysis tests and the benchmarks.

#include <QByteArray>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <numbers>
#include <random>
#include <vector>

namespace trelvano::synthetic {

enum class Manoeuvre { Glide, Thermal, Spiral, STurns };

struct Leg {
  Manoeuvre kind;
  double seconds;
  double turnRate = 0;  // degrees per second, positive to the left (Thermal, Spiral; STurns: the swing)
  double climb = 0;     // m/s: Thermal climbs, Spiral sinks this much (a positive number)
};

struct Flight {
  double interval = 1;     // seconds between fixes
  double airspeed = 25;    // m/s
  double glideRatio = 40;  // in still air
  double windSpeed = 0;    // m/s
  double windFrom = 0;     // degrees, 0 = north, clockwise
  double noise = 1.0;      // metres, standard deviation of each coordinate
  double lat = 47.5, lon = 11.2, altitude = 2000;
  unsigned seed = 1;
  std::vector<Leg> legs;
};

// What the flight really did, leg by leg.
struct LegTruth {
  Manoeuvre kind;
  double start, end;              // seconds since the first fix
  double climb;                   // m/s, mean vertical speed
  double groundRatio;             // ground distance start to end over height lost (glides)
  double x0, y0, z0, x1, y1, z1;  // metres east, north and up at start and end
};

inline double windEast(const Flight& f) { return -f.windSpeed * std::sin(f.windFrom * std::numbers::pi / 180); }
inline double windNorth(const Flight& f) { return -f.windSpeed * std::cos(f.windFrom * std::numbers::pi / 180); }

// The IGC bytes of `f`; `truth` gets one entry per leg.
inline QByteArray igcBytes(const Flight& f, std::vector<LegTruth>* truth = nullptr) {
  constexpr double a = 6378137.0, fl = 1 / 298.257223563, e2 = fl * (2 - fl);
  const double phi = f.lat * std::numbers::pi / 180;
  const double w = std::sqrt(1 - e2 * std::sin(phi) * std::sin(phi));
  const double metresPerDegreeNorth = a * (1 - e2) / (w * w * w) * std::numbers::pi / 180;
  const double metresPerDegreeEast = a / w * std::cos(phi) * std::numbers::pi / 180;

  std::mt19937 rng(f.seed);
  std::normal_distribution<double> noise(0.0, f.noise);
  QByteArray text = "AXXXSYN synthetic\r\nHFDTE150623\r\nI013636FXA\r\n";
  const double dt = 0.05;
  const double windE = windEast(f), windN = windNorth(f);
  double t = 0, x = 0, y = 0, z = f.altitude, heading = 0.3;  // heading: radians from east, counter-clockwise
  double nextFix = 0;
  auto writeFixesUpTo = [&](double until) {
    while (nextFix <= until + 1e-9) {
      const double lat = f.lat + (y + noise(rng)) / metresPerDegreeNorth;
      const double lon = f.lon + (x + noise(rng)) / metresPerDegreeEast;
      auto field = [](double deg, int degDigits) {
        const double absolute = std::abs(deg);
        long long thousandths = std::llround(absolute * 60000);  // thousandths of a minute
        const long long degrees = thousandths / 60000;
        thousandths -= degrees * 60000;
        char buf[16];
        std::snprintf(buf, sizeof buf, "%0*lld%05lld", degDigits, degrees, thousandths);
        return QByteArray(buf);
      };
      const long long secondOfDay = 36000 + std::llround(nextFix);
      char line[64];
      const int alt = int(std::lround(z + noise(rng) * 0.5));
      std::snprintf(line, sizeof line, "B%02lld%02lld%02lld%s%c%s%cA%05d%05d010\r\n", secondOfDay / 3600,
                    secondOfDay / 60 % 60, secondOfDay % 60, field(lat, 2).constData(), lat < 0 ? 'S' : 'N',
                    field(lon, 3).constData(), lon < 0 ? 'W' : 'E', alt, alt + 40);
      text += line;
      nextFix += f.interval;
    }
  };
  writeFixesUpTo(0);
  for (const Leg& leg : f.legs) {
    LegTruth lt{leg.kind, t, t + leg.seconds, 0, 0, x, y, z, 0, 0, 0};
    const double x0 = x, y0 = y, z0 = z;
    const int steps = int(std::lround(leg.seconds / dt));
    const double sink = f.airspeed / f.glideRatio;
    for (int s = 0; s < steps; ++s) {
      double rate = 0, vz = -sink;
      switch (leg.kind) {
        case Manoeuvre::Glide: break;
        case Manoeuvre::Thermal: rate = leg.turnRate, vz = leg.climb; break;
        case Manoeuvre::Spiral: rate = leg.turnRate, vz = -leg.climb; break;
        case Manoeuvre::STurns: {
          // Swing left and right, each way for 8 s.
          rate = std::fmod(s * dt, 16.0) < 8.0 ? leg.turnRate : -leg.turnRate;
          break;
        }
      }
      heading += rate * std::numbers::pi / 180 * dt;
      x += (f.airspeed * std::cos(heading) + windE) * dt;
      y += (f.airspeed * std::sin(heading) + windN) * dt;
      z += vz * dt;
      t = lt.start + (s + 1) * dt;
      writeFixesUpTo(t);
    }
    lt.end = t;
    lt.x1 = x, lt.y1 = y, lt.z1 = z;
    lt.climb = (z - z0) / leg.seconds;
    lt.groundRatio = z0 > z ? std::hypot(x - x0, y - y0) / (z0 - z) : 0;
    if (truth) truth->push_back(lt);
  }
  return text;
}

// A long flight for the benchmarks: glides and thermals in turn, `fixes` fixes a second.
inline Flight longFlight(int fixes) {
  Flight f;
  f.windSpeed = 5;
  f.windFrom = 250;
  int seconds = fixes - 1;
  for (int k = 0; seconds > 0; ++k) {
    const int glide = std::min(seconds, 240);
    f.legs.push_back({Manoeuvre::Glide, double(glide)});
    seconds -= glide;
    const int thermal = std::min(seconds, 200);
    if (thermal > 0) f.legs.push_back({Manoeuvre::Thermal, double(thermal), k % 2 ? 18.0 : -18.0, 2.0});
    seconds -= thermal;
  }
  return f;
}

}  // namespace trelvano::synthetic
