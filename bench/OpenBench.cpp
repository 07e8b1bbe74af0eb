// Opening a file as the user does: read from the disk, framed, coloured,
// summed up and the first picture painted (650 × 400, two cores), for the
// largest flights the tables hold. The budget a user feels: well under 100 ms.
#include "SyntheticFiles.h"

#include "app/core/MainController.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

using namespace trelvano;

namespace {

void openEachIteration(benchmark::State& state, const char* name, const QByteArray& bytes) {
  QTemporaryDir dir;
  const QString path = QDir(dir.path()).filePath(QLatin1String(name));
  QFile file(path);
  if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size()) state.SkipWithError("cannot write");
  file.close();
  CancelAllDialogs dialogs;
  MainController program(dialogs);
  program.startUpWithFiles(QStringLiteral("/nonexistent/default.par"));
  for (auto _ : state) program.openByName(path);
  state.counters["points"] = program.data.LastPoint + 1;
  state.counters["pictures"] = benchmark::Counter(double(program.view.redrawCount()), benchmark::Counter::kAvgIterations);
}

void BM_OpenIgc65536Fixes(benchmark::State& state) { openEachIteration(state, "flug.igc", syntheticIgc()); }
void BM_OpenLogger32768Samples(benchmark::State& state) { openEachIteration(state, "flug.csv", syntheticLogger()); }
void BM_OpenGpx60000Points(benchmark::State& state) { openEachIteration(state, "flug.gpx", syntheticGpx(60000)); }
BENCHMARK(BM_OpenIgc65536Fixes)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_OpenLogger32768Samples)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_OpenGpx60000Points)->Unit(benchmark::kMillisecond);

}  // namespace
