// One full redraw of the 3D view (grid, transform, all layers) of a long
// synthetic flight: the redraw that follows every mouse move while dragging.
#include "SyntheticFlight.h"
#include "SyntheticTerrain.h"
#include "import/FlightFrame.h"
#include "import/LocalFrame.h"
#include "model/FlightData.h"
#include "view3d/RedrawWorker.h"
#include "view3d/Renderer.h"
#include "view3d/View3D.h"

#include <benchmark/benchmark.h>

using namespace trelvano;

namespace {

FlightData& syntheticFlight(int64_t highFlight) {
  static FlightDataPtr model = makeSyntheticFlight(kModelGlider);
  static FlightDataPtr high = makeSyntheticFlight(kHighFlight);
  return highFlight ? *high : *model;
}

// The view as the user first sees a loaded flight: the home position, then
// (zoomedOut) stepped back by 5000 m until the whole flight is in the picture.
void placeCamera(View3D& view, bool zoomedOut) {
  view.resetCamera();
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

// One layer of the high flight at 1600 × 1000 on one core, the others
// switched off: 0 plumb lines, 1 shadow, 2 flight path, 3 grid.
void BM_DrawOneLayer(benchmark::State& state) {
  View3D view(syntheticFlight(1), 1600, 1000);
  placeCamera(view, false);
  bool Layers::*const items[] = {&Layers::Lot, &Layers::Schatten, &Layers::Flugbahn, &Layers::Gitter};
  for (bool Layers::*item : items) view.layers.*item = item == items[state.range(0)];
  view.layers.NordPfeil = view.layers.Startkoordinaten = false;
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
  addCheckerMap(d);
  View3D view(d, static_cast<int>(state.range(0)), static_cast<int>(state.range(1)));
  view.layers.Karte = view.layers.KarteVisible = true;
  if (!state.range(2)) view.layers.Flugbahn = view.layers.Schatten = view.layers.Lot = false;
  placeCamera(view, false);
  for (auto _ : state) {
    view.Grafikupdate();
    benchmark::DoNotOptimize(view.BackBuffer.constBits());
  }
}

// The same redraw with and without the terrain under the flight: 512 × 512
// nodes of rolling hills and a map draped over half of them (four texels per
// cell side), at the home position or close over the map, where the cells
// near the eye show its texels. Arguments: picture width and height, 1 for
// the terrain, 1 for the high flight, 1 to redraw with the exaggeration 3,
// 1 for the camera close over the map.
void BM_GrafikupdateWithTerrain(benchmark::State& state) {
  static FlightDataPtr plain[2] = {makeSyntheticFlight(kModelGlider), makeSyntheticFlight(kHighFlight)};
  static FlightDataPtr withTerrain[2] = {makeSyntheticFlight(kModelGlider), makeSyntheticFlight(kHighFlight)};
  static const bool added = (addSyntheticTerrain(*withTerrain[0]), addSyntheticTerrain(*withTerrain[1]), true);
  (void)added;
  FlightData& d = state.range(2) ? *withTerrain[state.range(3)] : *plain[state.range(3)];
  d.Exaggeration = state.range(4) ? 3 : 1;
  View3D view(d, static_cast<int>(state.range(0)), static_cast<int>(state.range(1)));
  view.layers.Karte = view.layers.GeoKarteVisible = true;
  placeCamera(view, false);
  if (state.range(5)) {
    // 400 m behind the origin along the line of sight, looking down at 30°: about 200 m above the ground.
    Camera close = view.cam;
    close.CamY = 1600, close.CamZ = 0, close.CamE = 30;
    view.setCamera(close);
  }
  for (auto _ : state) {
    view.Grafikupdate();
    benchmark::DoNotOptimize(view.BackBuffer.constBits());
  }
  d.Exaggeration = 1;
}

// The redraw with the overlay "Flugphasen" on the long flight: a thermal
// marker with its climb every 700 points (93 of them, crowded where the
// circles lie close), each label placed where it covers no other.
// Arguments: picture width and height, 1 to zoom out until the flight fits.
void BM_GrafikupdateFlightPhases(benchmark::State& state) {
  static FlightDataPtr phases = [] {
    FlightDataPtr data = makeSyntheticFlight(kModelGlider);
    FlightData& d = *data;
    const FrameOrigin origin = flightOrigin(d);
    for (int i = 350; i <= d.LastPoint; i += 700) {
      const FlightPoint& p = d.FlightPath[i];
      Thermal t;
      t.lat = frameLat(p.Y, origin);
      t.lon = frameLon(p.X, t.lat, origin);
      t.altitude = origin.altitude + p.Z;
      t.climb = 0.3 + 0.1 * (i / 700 % 40);
      d.Analysis.thermals.push_back(t);
    }
    d.Analysis.valid = true;
    d.OverlayMode = 7;
    return data;
  }();
  View3D view(*phases, static_cast<int>(state.range(0)), static_cast<int>(state.range(1)));
  placeCamera(view, state.range(2));
  for (auto _ : state) {
    view.Grafikupdate();
    benchmark::DoNotOptimize(view.BackBuffer.constBits());
  }
}

}  // namespace

BENCHMARK(BM_GrafikupdateFlightPhases)
    ->ArgNames({"w", "h", "zoomedOut"})
    ->ArgsProduct({{1600}, {1000}, {0, 1}})
    ->Args({650, 400, 1})
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_GrafikupdateWithTerrain)
    ->ArgNames({"w", "h", "terrain", "high", "x3", "close"})
    ->ArgsProduct({{1600}, {1000}, {0, 1}, {0, 1}, {0}, {0}})
    ->Args({1600, 1000, 1, 1, 1, 0})
    ->ArgsProduct({{1600}, {1000}, {0, 1}, {0}, {0}, {1}})
    ->ArgsProduct({{650}, {400}, {0, 1}, {0, 1}, {0}, {0}})
    ->MeasureProcessCPUTime()  // both cores' time, which a busy machine does not stretch
    ->Unit(benchmark::kMillisecond);
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
BENCHMARK(BM_DrawOneLayer)->ArgName("layer")->DenseRange(0, 3)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DDDGraf)
    ->ArgNames({"w", "h", "zoomedOut", "high"})
    ->ArgsProduct({{650}, {400}, {0, 1}, {0, 1}})
    ->ArgsProduct({{1600}, {1000}, {0, 1}, {0, 1}})
    ->Unit(benchmark::kMillisecond);

namespace {

// Handing an empty job to the redraw's second core and waiting for it: the
// cost a redraw pays per phase for using two cores.
void BM_RedrawWorkerHandoff(benchmark::State& state) {
  RedrawWorker worker;
  auto nothing = [](int, int) {};
  for (auto _ : state) worker.runParts(nothing);
}
BENCHMARK(BM_RedrawWorkerHandoff)->Unit(benchmark::kMicrosecond);

}  // namespace
