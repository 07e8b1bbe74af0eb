// One redraw's point transform at full load: 65536 flight and shadow points
// and 131072 plumb-line points, plus grid and arrow.
#include "view3d/Transform.h"

#include <benchmark/benchmark.h>

using namespace trelvano;

namespace {

void BM_DDDCalcFullFlight(benchmark::State& state) {
  const FlightDataPtr d = makeFlightData();
  d->LastPoint = kMaxFlightPoints - 1;
  d->PlumbLast = 2 * d->LastPoint + 1;
  for (int i = 0; i <= d->LastPoint; ++i) {
    FlightPoint p{};
    p.X = (i % 500) * 3.0 - 700;
    p.Y = (i / 500) * 7.0 - 400;
    p.Z = 200 + (i % 37);
    p.Pen = i == 0 ? kPenMove : kPenLine;
    d->FlightPath[i] = p;
    p.Z = 0;
    d->ShadowPath[i] = p;
    d->PlumbLines[2 * i] = d->FlightPath[i];
    d->PlumbLines[2 * i + 1] = p;
  }
  GitterPfeil(*d, 100);
  Camera cam;
  Layers layers;
  Matrix4 view;
  for (auto _ : state) {
    cam.CamA += 1;  // a drag: a new camera each redraw
    DDDCalc(*d, cam, layers, view);
    benchmark::DoNotOptimize(d->FlightPath.data()[100].ProjX);
  }
  state.SetItemsProcessed(state.iterations() * (2 * 65536 + 131072 + 902 + 8));
}
BENCHMARK(BM_DDDCalcFullFlight)->Unit(benchmark::kMicrosecond);

}  // namespace
