// Overlays on a long recording: every mode once (recolour, legend, redraw)
// and one tick of the direction animation, with the default layers on.
#include "overlay/ColourScale.h"
#include "overlay/Legend.h"
#include "overlay/Overlay.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <memory>

using namespace trelvano;

namespace {

// A glider's day at one fix per second, 65536 fixes: 200 s circling in lift
// (radius 60 m, 15 m/s, 1.5 m/s up), then 100 s gliding at 25 m/s and 3 m/s
// down on a new heading, with a little GPS noise.
void fillGliderFlight(FlightData& d) {
  d.LastPoint = kMaxFlightPoints - 1;
  d.RangeStart = 0;
  d.RangeEnd = d.LastPoint;
  d.PlumbLast = 2 * d.LastPoint + 1;
  double x = 0, y = 0, z = 300, heading = 0;
  unsigned noise = 12345;
  for (int i = 0; i <= d.LastPoint; ++i) {
    const int t = i % 300;
    if (t < 200) {
      heading += 15.0 / 60.0;
      z += 1.5;
    } else {
      if (t == 200) heading += 2.1;
      z -= 3;
    }
    const double speed = t < 200 ? 15 : 25;
    x += speed * std::cos(heading);
    y += speed * std::sin(heading);
    noise = noise * 1103515245u + 12345u;
    const double jitter = static_cast<double>((noise >> 16) % 200) / 100.0 - 1.0;

    FlightPoint p{};
    p.X = x + jitter;
    p.Y = y - jitter;
    p.Z = z + jitter;
    p.TimeStep = 1;
    p.Pen = i == 0 ? kPenMove : kPenLine;
    p.Color = colours::kBlue;
    d.FlightPath[i] = p;
    FlightPoint shadow = p;
    shadow.Z = 0;
    shadow.Color = colours::kShadow;
    d.ShadowPath[i] = shadow;
    p.Pen = kPenMove;
    d.PlumbLines[2 * i] = p;
    shadow.Pen = kPenLine;
    d.PlumbLines[2 * i + 1] = shadow;
  }
}

struct Scene {
  FlightDataPtr data = makeFlightData();
  std::unique_ptr<View3D> view;
  SidePanels panels;
  Scene() {
    fillGliderFlight(*data);
    view = std::make_unique<View3D>(*data);
    view->resetCamera();
  }
};

void BM_OverlayMode(benchmark::State& state) {
  Scene scene;
  scene.data->OverlayMode = static_cast<int>(state.range(0));
  for (auto _ : state) {
    Overlay(*scene.data, *scene.view, scene.panels);
    benchmark::DoNotOptimize(scene.data->FlightPath.data()[1000].Color);
  }
}
BENCHMARK(BM_OverlayMode)->DenseRange(0, 6)->Unit(benchmark::kMillisecond);

void BM_DirectionTick(benchmark::State& state) {
  Scene scene;
  scene.data->OverlayMode = 1;
  Overlay(*scene.data, *scene.view, scene.panels);
  for (auto _ : state) {
    animateDirections(*scene.data, *scene.view);
    benchmark::DoNotOptimize(scene.data->FlightPath.data()[1000].Color);
  }
}
BENCHMARK(BM_DirectionTick)->Unit(benchmark::kMillisecond);

// The tick without its redraw.
void BM_DirectionRecolour(benchmark::State& state) {
  Scene scene;
  scene.data->OverlayMode = 1;
  Overlay(*scene.data, *scene.view, scene.panels);
  for (auto _ : state) {
    advanceDirectionPattern(*scene.data);
    benchmark::DoNotOptimize(scene.data->FlightPath.data()[1000].Color);
  }
}
BENCHMARK(BM_DirectionRecolour)->Unit(benchmark::kMicrosecond);

// The speed colouring and its legend without the redraw.
void BM_SpeedColouring(benchmark::State& state) {
  Scene scene;
  for (auto _ : state) {
    const ColourScale scale = colourBySpeed(*scene.data);
    drawLegend(scene.panels.Image2, 2, scale);
    benchmark::DoNotOptimize(scene.data->FlightPath.data()[1000].Color);
  }
}
BENCHMARK(BM_SpeedColouring)->Unit(benchmark::kMicrosecond);

}  // namespace
