// The flight analysis of a 65536-fix flight (glides and thermals a second
// apart) against the load of the same flight's IGC file: the analysis runs
// once per load and should take at most twice as long.
#include "../tests/common/SyntheticIgc.h"

#include "import/IgcReader.h"
#include "import/ShowFlight.h"
#include "app/core/AnalyseLoadedFlight.h"

#include <benchmark/benchmark.h>

using namespace trelvano;

namespace {

constexpr int kFixes = 65536;

const QByteArray& thermalFlight() {
  static const QByteArray bytes = trelvano::synthetic::igcBytes(trelvano::synthetic::longFlight(kFixes));
  return bytes;
}

void BM_LoadIgcThermalFlight65536Fixes(benchmark::State& state) {
  const FlightDataPtr data = makeFlightData();
  for (auto _ : state) {
    showFlight(*data, readIgc(thermalFlight(), QStringLiteral("bench.igc")));
    benchmark::DoNotOptimize(data->PlumbLines.data()[2 * kFixes - 1].Z);
  }
  state.counters["points"] = data->LastPoint + 1;
}
BENCHMARK(BM_LoadIgcThermalFlight65536Fixes)->Unit(benchmark::kMillisecond);

void BM_AnalyseFlight65536Fixes(benchmark::State& state) {
  const FlightDataPtr data = makeFlightData();
  showFlight(*data, readIgc(thermalFlight(), QStringLiteral("bench.igc")));
  for (auto _ : state) {
    trelvano::analyseLoadedFlight(*data);
    benchmark::DoNotOptimize(data->Analysis.totals.circlingShare);
  }
  state.counters["points"] = data->LastPoint + 1;
  state.counters["thermals"] = data->Analysis.totals.thermals;
  state.counters["winds"] = double(data->Analysis.wind.size());
}
BENCHMARK(BM_AnalyseFlight65536Fixes)->Unit(benchmark::kMillisecond);

}  // namespace
