// Adding a flight of 40,000 fixes (glides and thermals a second apart) to the
// loaded ones: its IGC file read into a flight and analysed, as "Flug
// hinzufügen…" does once the file's bytes are in. It should take well under
// 100 ms and cost at most 400 bytes a fix; the counter bytesPerFix is the
// heap the flight and its analysis keep, measured by the allocator.
#include "../tests/common/SyntheticIgc.h"

#include "app/core/AnalyseLoadedFlight.h"
#include "app/core/FlightSet.h"
#include "import/IgcReader.h"

#include <benchmark/benchmark.h>
#include <malloc.h>

#include <memory>

using namespace trelvano;

namespace {

constexpr int kFixes = 40000;

const QByteArray& flightOf40000Fixes() {
  static const QByteArray bytes = synthetic::igcBytes(synthetic::longFlight(kFixes));
  return bytes;
}

LoadedFlight addedFlight() {
  auto flight = std::make_shared<const Flight>(readIgc(flightOf40000Fixes(), QStringLiteral("bench.igc")));
  LoadedFlight loaded = loadedFlight(flight, QStringLiteral("bench.igc"));
  loaded.analysis = analyseFlight(*flight);
  return loaded;
}

size_t heapInUse() {
  const struct mallinfo2 m = mallinfo2();
  return m.uordblks + m.hblkhd;
}

void BM_AddFlight40000Fixes(benchmark::State& state) {
  flightOf40000Fixes();
  for (auto _ : state) {
    LoadedFlight loaded = addedFlight();
    benchmark::DoNotOptimize(loaded.analysis.totals.circlingShare);
  }
  const size_t before = heapInUse();
  {
    const LoadedFlight kept = addedFlight();
    const size_t after = heapInUse();
    state.counters["fixes"] = double(kept.flight->fixes.size());
    state.counters["bytesPerFix"] = double(after - before) / double(kept.flight->fixes.size());
  }
}
BENCHMARK(BM_AddFlight40000Fixes)->Unit(benchmark::kMillisecond);

}  // namespace
