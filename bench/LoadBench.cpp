// Loading a flight from the bytes of its file to the finished frame, shadow
// and plumb lines; beside each, the floor of the same run: copying the point
// records the load writes (FlightPath, ShadowPath and two PlumbLines entries
// per point).
#include "SyntheticFiles.h"

#include "import/GpxReader.h"
#include "import/IgcReader.h"
#include "import/LocalFrame.h"
#include "import/LoggerReader.h"
#include "import/ShowFlight.h"

#include <QFile>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstring>
#include <vector>

using namespace trelvano;

namespace {

// One load of `bytes` per iteration, by `load`; `lastPlumbEntry` is read
// back so that the frame cannot be optimised away.
template <class Load>
void loadEachIteration(benchmark::State& state, const QByteArray& bytes, Load load, int32_t lastPlumbEntry) {
  const FlightDataPtr data = makeFlightData();
  for (auto _ : state) {
    load(*data, bytes);
    benchmark::DoNotOptimize(data->PlumbLines.data()[lastPlumbEntry].Z);
  }
  state.counters["points"] = data->LastPoint + 1;
  state.SetBytesProcessed(state.iterations() * bytes.size());
}

void BM_LoadIgc65536Fixes(benchmark::State& state) {
  loadEachIteration(
      state, syntheticIgc(),
      [](FlightData& d, const QByteArray& b) { showFlight(d, readIgc(b, QStringLiteral("bench.igc"))); },
      2 * kIgcFixes - 1);
}
BENCHMARK(BM_LoadIgc65536Fixes)->Unit(benchmark::kMillisecond);

void BM_LoadGpx65536Points(benchmark::State& state) {
  loadEachIteration(
      state, syntheticGpx(),
      [](FlightData& d, const QByteArray& b) { showFlight(d, readGpx(b, QStringLiteral("bench.gpx"))); },
      2 * kIgcFixes - 1);
}
BENCHMARK(BM_LoadGpx65536Points)->Unit(benchmark::kMillisecond);

void BM_LoadLogger32768Samples(benchmark::State& state) {
  loadEachIteration(
      state, syntheticLogger(),
      [](FlightData& d, const QByteArray& b) { showFlight(d, readLogger(b, QStringLiteral("bench.csv"))); },
      2 * kLoggerSamples - 1);
}
BENCHMARK(BM_LoadLogger32768Samples)->Unit(benchmark::kMillisecond);

// The floor: copying 4 × points × 88 bytes of point records.
void BM_PointRecordCopyFloor(benchmark::State& state) {
  const size_t bytes = 4 * static_cast<size_t>(state.range(0)) * sizeof(FlightPoint);
  std::vector<char> from(bytes, 1), to(bytes, 0);
  for (auto _ : state) {
    std::memcpy(to.data(), from.data(), bytes);
    benchmark::DoNotOptimize(to.data());
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(bytes));
}
BENCHMARK(BM_PointRecordCopyFloor)->Arg(kIgcFixes)->Arg(kLoggerSamples)->Unit(benchmark::kMillisecond);

}  // namespace
