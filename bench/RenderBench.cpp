// One full redraw of the 3D view (grid, transform, all layers) of a long
// synthetic flight: the redraw that follows every mouse move while dragging.
#include "model/FlightData.h"
#include "view3d/Renderer.h"
#include "view3d/View3D.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <numbers>
#include <random>

namespace {

// How high the synthetic flight goes above its start, in metres.
struct HeightBand {
  double floor, ceiling;
};
constexpr HeightBand kModelGlider{80, 450};  // a model glider in sight of its pilot
constexpr HeightBand kHighFlight{300, 1500};  // long plumb lines: the most pixels

// 65536 points a second apart: glides of a kilometre or two between
// thermals, circles of 60 … 100 m radius drifting with the wind, all within
// a few kilometres of the start.
FlightDataPtr makeSyntheticFlight(HeightBand band) {
  FlightDataPtr data = makeFlightData();
  FlightData& d = *data;
  std::mt19937 rng(2024);
  std::uniform_real_distribution<double> unit(0.0, 1.0);
  constexpr int kLast = kMaxFlightPoints - 1;
  double x = 0, y = 0, z = 0, heading = 0;
  int i = 0;
  while (i <= kLast) {
    // Glide towards a point inside a 5 km square around the start.
    const double tx = (unit(rng) - 0.5) * 5000, ty = (unit(rng) - 0.5) * 5000;
    heading = std::atan2(ty - y, tx - x);
    const int glide = std::min(kLast - i + 1, static_cast<int>(std::hypot(tx - x, ty - y) / 25));
    for (int k = 0; k < glide; ++k, ++i) {
      x += 25 * std::cos(heading);
      y += 25 * std::sin(heading);
      z = std::max(band.floor, z - 1.0);
      d.FlightPath[i].X = x, d.FlightPath[i].Y = y, d.FlightPath[i].Z = z;
    }
    // Climb in a thermal that drifts with the wind.
    const double radius = 60 + 40 * unit(rng);
    const int circle = std::min(kLast - i + 1, 300 + static_cast<int>(600 * unit(rng)));
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
  d.LastPoint = kLast;
  d.RangeStart = 0;
  d.RangeEnd = kLast;
  d.CursorPoint = kLast / 2;
  d.MaxAltitude = band.ceiling;
  d.StartLatRaw = 4807038;
  d.StartLonRaw = 1134567;
  d.StartAltitude = 512.4;
  for (int k = 0; k <= kLast; ++k) {
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
  d.PlumbLast = 2 * kLast + 1;
  return data;
}

FlightData& syntheticFlight(int64_t highFlight) {
  static FlightDataPtr model = makeSyntheticFlight(kModelGlider);
  static FlightDataPtr high = makeSyntheticFlight(kHighFlight);
  return highFlight ? *high : *model;
}

// The view as the user first sees a loaded flight: the home position, then
// (zoomedOut) stepped back by 5000 m until the whole flight is in the picture.
void placeCamera(View3D& view, bool zoomedOut) {
  view.Ausgangsposition1Click();
  if (zoomedOut) view.Autozoom();
}

// Arguments: picture width and height, 1 to zoom out until the flight fits,
// 1 for the high flight.
void BM_Grafikupdate(benchmark::State& state) {
  View3D view(syntheticFlight(state.range(3)), static_cast<int>(state.range(0)), static_cast<int>(state.range(1)));
  placeCamera(view, state.range(2));
  for (auto _ : state) {
    view.Grafikupdate();
    benchmark::DoNotOptimize(view.BackBuffer.constBits());
  }
  state.counters["CamY"] = view.cam.CamY;
}

// The drawing alone, on the projections of the last transform.
void BM_DDDGraf(benchmark::State& state) {
  View3D view(syntheticFlight(state.range(3)), static_cast<int>(state.range(0)), static_cast<int>(state.range(1)));
  placeCamera(view, state.range(2));
  bool outOfView = false;
  for (auto _ : state) {
    DDDGraf(view.data, view.layers, view.cam, view.BackBuffer, outOfView);
    benchmark::DoNotOptimize(view.BackBuffer.constBits());
  }
}

// The same with a pixel map under the flight: 9801 filled cells at the home
// position. Arguments: picture width and height, 0 to switch the flight's
// layers off and time the map alone.
void BM_GrafikupdateWithPixelMap(benchmark::State& state) {
  FlightData& d = syntheticFlight(0);
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
  View3D view(d, static_cast<int>(state.range(0)), static_cast<int>(state.range(1)));
  view.layers.Karte = view.layers.KarteVisible = true;
  if (!state.range(2)) view.layers.Flugbahn = view.layers.Schatten = view.layers.Lot = false;
  placeCamera(view, false);
  for (auto _ : state) {
    view.Grafikupdate();
    benchmark::DoNotOptimize(view.BackBuffer.constBits());
  }
}

}  // namespace

BENCHMARK(BM_GrafikupdateWithPixelMap)
    ->ArgNames({"w", "h", "flight"})
    ->Args({650, 400, 1})
    ->Args({650, 400, 0})
    ->Args({1600, 1000, 1})
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Grafikupdate)
    ->ArgNames({"w", "h", "zoomedOut", "high"})
    ->ArgsProduct({{650}, {400}, {0, 1}, {0, 1}})
    ->ArgsProduct({{1600}, {1000}, {0, 1}, {0, 1}})
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DDDGraf)
    ->ArgNames({"w", "h", "zoomedOut", "high"})
    ->ArgsProduct({{650}, {400}, {0, 1}, {0, 1}})
    ->ArgsProduct({{1600}, {1000}, {0, 1}, {0, 1}})
    ->Unit(benchmark::kMillisecond);
