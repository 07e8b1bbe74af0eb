#pragma once
// Synthetic flights with a known truth, written as IGC text: time on the
// ground, launches on the winch, behind a tow plane or under engine, glides
// at a set airspeed and glide ratio, thermals as circles with a set climb and
// sense, descending spirals, S-turns, ridge soaring, dolphin flight and
// straight climbs under a cloud street,
// everything in the air drifting with a set wind; the positions rounded to
// the IGC's thousandth of a minute and noisy by a set amount, pauses of the
// recording and altitude spikes where asked. Shared by the analysis tests
// and the benchmarks.

#include <QByteArray>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <numbers>
#include <random>
#include <vector>

namespace trelvano::synthetic {

enum class Manoeuvre {
  Glide,    // straight at the airspeed and glide ratio
  Thermal,  // circling at turnRate, climbing at climb
  Spiral,   // circling at turnRate, sinking at climb
  STurns,   // swinging left and right by turnRate, each way for 8 s
  Ground,   // standing still, wind or not
  Launch,   // straight at speed (0 = the airspeed), climbing at climb: tow, winch or self-launch
  Ridge,    // beats along a ridge: 40 s straight, a half circle in 10 s the other way round each time, climb
  Dolphin,  // straight, 20 s climbing at climb, 20 s sinking at twice the glide's sink
  Street,   // straight, climbing at climb: under a cloud street
};

struct Leg {
  Manoeuvre kind;
  double seconds;
  double turnRate = 0;  // degrees per second, positive to the left (Thermal, Spiral; STurns: the swing)
  double climb = 0;     // m/s: Thermal, Launch, Ridge and Dolphin climb, Spiral sinks this much (a positive number)
  double speed = 0;     // m/s over the air, horizontally (Launch); 0 = the flight's airspeed
  bool engine = false;  // the engine runs (ENL 800, else 20)
};

// No fixes from … to (seconds since the first fix).
struct Pause {
  double from, to;
};
// The fixes from `time` for `seconds` show `height` metres more than flown.
struct Spike {
  double time, seconds, height;
};

struct Flight {
  double interval = 1;     // seconds between fixes
  double airspeed = 25;    // m/s
  double glideRatio = 40;  // in still air
  double windSpeed = 0;    // m/s
  double windFrom = 0;     // degrees, 0 = north, clockwise
  double noise = 1.0;      // metres, standard deviation of each coordinate (half of it for the height)
  double lat = 47.5, lon = 11.2, altitude = 2000;
  unsigned seed = 1;
  std::vector<Leg> legs;
  std::vector<Pause> pauses;
  std::vector<Spike> spikes;
};

// What the flight really did, leg by leg.
struct LegTruth {
  Manoeuvre kind;
  double start, end;              // seconds since the first fix
  double climb;                   // m/s, mean vertical speed
  double groundRatio;             // ground distance start to end over height lost (glides)
  double x0, y0, z0, x1, y1, z1;  // metres east, north and up at start and end
  bool engine;
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
  const bool withEngine = std::any_of(f.legs.begin(), f.legs.end(), [](const Leg& l) { return l.engine; });

  std::mt19937 rng(f.seed);
  std::normal_distribution<double> noise(0.0, f.noise);
  QByteArray text = "AXXXSYN synthetic\r\nHFDTE150623\r\n";
  text += withEngine ? "I023638FXA3941ENL\r\n" : "I013636FXA\r\n";
  const double dt = 0.05;
  const double windE = windEast(f), windN = windNorth(f);
  double t = 0, x = 0, y = 0, z = f.altitude, heading = 0.3;  // heading: radians from east, counter-clockwise
  double nextFix = 0;
  bool engine = false;
  auto writeFixesUpTo = [&](double until) {
    for (; nextFix <= until + 1e-9; nextFix += f.interval) {
      const bool paused = std::any_of(f.pauses.begin(), f.pauses.end(),
                                      [&](const Pause& p) { return nextFix > p.from && nextFix < p.to; });
      // The noise is drawn for every fix, written or not, so a pause changes no other fix.
      const double ny = noise(rng), nx = noise(rng), nz = noise(rng) * 0.5;
      if (paused) continue;
      double spike = 0;
      for (const Spike& s : f.spikes)
        if (nextFix >= s.time && nextFix < s.time + s.seconds) spike += s.height;
      const double lat = f.lat + (y + ny) / metresPerDegreeNorth;
      const double lon = f.lon + (x + nx) / metresPerDegreeEast;
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
      char line[80];
      const int alt = int(std::lround(z + nz + spike));
      std::snprintf(line, sizeof line, "B%02lld%02lld%02lld%s%c%s%cA%05d%05d010%s\r\n", secondOfDay / 3600,
                    secondOfDay / 60 % 60, secondOfDay % 60, field(lat, 2).constData(), lat < 0 ? 'S' : 'N',
                    field(lon, 3).constData(), lon < 0 ? 'W' : 'E', alt, alt + 40,
                    withEngine ? (engine ? "800" : "020") : "");
      text += line;
    }
  };
  writeFixesUpTo(0);
  for (const Leg& leg : f.legs) {
    LegTruth lt{leg.kind, t, t + leg.seconds, 0, 0, x, y, z, 0, 0, 0, leg.engine};
    const double x0 = x, y0 = y, z0 = z;
    const int steps = int(std::lround(leg.seconds / dt));
    const double sink = f.airspeed / f.glideRatio;
    const double speed = leg.speed > 0 ? leg.speed : f.airspeed;
    engine = leg.engine;
    for (int s = 0; s < steps; ++s) {
      const double inLeg = s * dt;
      double rate = 0, vz = -sink;
      switch (leg.kind) {
        case Manoeuvre::Glide: break;
        case Manoeuvre::Thermal: rate = leg.turnRate, vz = leg.climb; break;
        case Manoeuvre::Spiral: rate = leg.turnRate, vz = -leg.climb; break;
        case Manoeuvre::STurns: rate = std::fmod(inLeg, 16.0) < 8.0 ? leg.turnRate : -leg.turnRate; break;
        case Manoeuvre::Ground: vz = 0; break;
        case Manoeuvre::Launch:
        case Manoeuvre::Street: vz = leg.climb; break;
        case Manoeuvre::Ridge: {
          const double beat = std::fmod(inLeg, 50.0);
          const bool left = int(inLeg / 50.0) % 2 == 0;
          rate = beat >= 40.0 ? (left ? 18.0 : -18.0) : 0.0;
          vz = leg.climb;
          break;
        }
        case Manoeuvre::Dolphin: vz = std::fmod(inLeg, 40.0) < 20.0 ? leg.climb : -2 * sink; break;
      }
      if (leg.kind != Manoeuvre::Ground) {
        heading += rate * std::numbers::pi / 180 * dt;
        x += (speed * std::cos(heading) + windE) * dt;
        y += (speed * std::sin(heading) + windN) * dt;
        z += vz * dt;
      }
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
