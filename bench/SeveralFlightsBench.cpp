// The redraw with several flights shown: ten flights of 20,000 fixes each
// with their shadows at 1600 × 1000, against one flight of 65,536 fixes in
// the same run. Both framed by "Flug einpassen".
#include "SyntheticFlight.h"
#include "import/LocalFrame.h"
#include "model/Flight.h"
#include "view3d/View3D.h"

#include <benchmark/benchmark.h>

#include <memory>

using namespace trelvano;

namespace {

constexpr FrameOrigin kOrigin{48.1, 11.5, 500};

// The synthetic flight's points placed on the globe around kOrigin, `east` metres further east.
void placeOnGlobe(FlightData& d, double east) {
  for (int32_t i = 0; i <= d.LastPoint; ++i) {
    FlightPoint& p = d.FlightPath[i];
    p.Lat = frameLat(p.Y, kOrigin);
    p.Lon = frameLon(p.X - east, p.Lat, kOrigin);
    p.Altitude = kOrigin.altitude + p.Z;
  }
}

std::shared_ptr<const Flight> flightOf(const FlightData& d) {
  auto f = std::make_shared<Flight>();
  for (int32_t i = 0; i <= d.LastPoint; ++i) {
    const FlightPoint& p = d.FlightPath[i];
    f->fixes.push_back({p.Lat, p.Lon, 0, p.Altitude, 1});
  }
  return f;
}

void redraw(benchmark::State& state, View3D& view) {
  view.resetCamera();
  view.fitFlight();
  for (auto _ : state) {
    view.Grafikupdate();
    benchmark::DoNotOptimize(view.BackBuffer.constBits());
  }
  state.counters["otherPoints"] = double(view.otherFlightPoints());
}

void BM_RedrawOneFlight65536(benchmark::State& state) {
  static FlightDataPtr one = makeSyntheticFlight(kModelGlider);
  placeOnGlobe(*one, 0);
  View3D view(*one, 1600, 1000);
  redraw(state, view);
}

void BM_RedrawTenFlights20000(benchmark::State& state) {
  constexpr int kPoints = 20000;
  static FlightDataPtr active = makeSyntheticFlight(kModelGlider, kPoints);
  placeOnGlobe(*active, 0);
  View3D view(*active, 1600, 1000);
  constexpr int32_t kColours[] = {0x0000C0FF, 0x00FF00FF, 0x0000A000, 0x00808000, 0x00FF8000,
                                  0x000000C0, 0x00C000C0, 0x00008080, 0x00404040};
  for (int k = 0; k < 9; ++k) {
    FlightDataPtr other = makeSyntheticFlight(kModelGlider, kPoints);
    placeOnGlobe(*other, 400.0 * (k + 1));
    view.scene.tracks.push_back({flightOf(*other), kColours[k]});
  }
  redraw(state, view);
}

}  // namespace

BENCHMARK(BM_RedrawOneFlight65536)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RedrawTenFlights20000)->Unit(benchmark::kMillisecond);
