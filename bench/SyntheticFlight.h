#pragma once
// The long synthetic flights of the redraw benchmarks, shared with the test
// that holds the redraw to its reference pictures.

#include "model/FlightData.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <random>

namespace trelvano {

// How high the synthetic flight goes above its start, in metres.
struct HeightBand {
  double floor, ceiling;
};
inline constexpr HeightBand kModelGlider{80, 450};   // a model glider in sight of its pilot
inline constexpr HeightBand kHighFlight{300, 1500};  // long plumb lines: the most pixels

// `points` fixes (65536 by default) a second apart: glides of a kilometre or two between
// thermals, circles of 60 … 100 m radius drifting with the wind, all within
// a few kilometres of the start.
inline FlightDataPtr makeSyntheticFlight(HeightBand band, int points = kMaxFlightPoints) {
  FlightDataPtr data = makeFlightData();
  FlightData& d = *data;
  std::mt19937 rng(2024);
  std::uniform_real_distribution<double> unit(0.0, 1.0);
  const int last = points - 1;
  double x = 0, y = 0, z = 0, heading = 0;
  int i = 0;
  while (i <= last) {
    // Glide towards a point inside a 5 km square around the start.
    const double tx = (unit(rng) - 0.5) * 5000, ty = (unit(rng) - 0.5) * 5000;
    heading = std::atan2(ty - y, tx - x);
    const int glide = std::min(last - i + 1, static_cast<int>(std::hypot(tx - x, ty - y) / 25));
    for (int k = 0; k < glide; ++k, ++i) {
      x += 25 * std::cos(heading);
      y += 25 * std::sin(heading);
      z = std::max(band.floor, z - 1.0);
      d.FlightPath[i].X = x, d.FlightPath[i].Y = y, d.FlightPath[i].Z = z;
    }
    // Climb in a thermal that drifts with the wind.
    const double radius = 60 + 40 * unit(rng);
    const int circle = std::min(last - i + 1, 300 + static_cast<int>(600 * unit(rng)));
    const double cx = x - radius * std::cos(heading - std::numbers::pi / 2);
    const double cy = y - radius * std::sin(heading - std::numbers::pi / 2);
    for (int k = 0; k < circle; ++k, ++i) {
      const double a = heading - std::numbers::pi / 2 + k * 2 * std::numbers::pi / 25;
      x = cx + radius * std::cos(a) + 1.5 * k;
      y = cy + radius * std::sin(a) + 0.5 * k;
      z = std::min(band.ceiling, z + 1.5 * band.ceiling / 1500);
      d.FlightPath[i].X = x, d.FlightPath[i].Y = y, d.FlightPath[i].Z = z;
    }
  }
  d.LastPoint = last;
  d.RangeStart = 0;
  d.RangeEnd = last;
  d.CursorPoint = last / 2;
  d.MaxAltitude = band.ceiling;
  d.StartLatRaw = 4807038;
  d.StartLonRaw = 1134567;
  d.StartAltitude = 512.4;
  d.HasFlight = true;
  for (int k = 0; k <= last; ++k) {
    FlightPoint& p = d.FlightPath[k];
    p.Pen = k == 0 ? kPenMove : kPenLine;
    p.Color = k % 2000 < 1000 ? colours::kBlue : colours::kRed;  // as an overlay would colour it
    d.ShadowPath[k] = p;
    d.ShadowPath[k].Z = 0;
    d.ShadowPath[k].Color = colours::kShadow;
    d.PlumbLines[2 * k] = p;
    d.PlumbLines[2 * k].Pen = kPenMove;
    d.PlumbLines[2 * k + 1] = d.ShadowPath[k];
    d.PlumbLines[2 * k + 1].Pen = kPenLine;
  }
  d.PlumbLast = 2 * last + 1;
  return data;
}

// A pixel map of 100 × 100 entries 10 m apart around the start, in a
// checkerboard of two greens.
inline void addCheckerMap(FlightData& d) {
  for (int r = 0; r < 100; ++r)
    for (int c = 0; c < 100; ++c) {
      FlightPoint& p = d.MapCells[r * 100 + c];
      p.X = 500 - 10 * c;
      p.Y = 500 - 10 * r;
      p.Z = 0;
      p.Pen = kPenMove;
      p.Color = ((r / 10 + c / 10) % 2) ? 0x0040A040 : 0x00306030;
    }
  d.MapCellsLast = 9999;
}

}  // namespace trelvano
