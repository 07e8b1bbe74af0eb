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

// `path`: where the file goes; empty for a temporary folder.
void openEachIteration(benchmark::State& state, const char* name, const QByteArray& bytes, QString path = {}) {
  QTemporaryDir dir;
  if (path.isEmpty()) path = QDir(dir.path()).filePath(QLatin1String(name));
  QFile file(path);
  if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size()) state.SkipWithError("cannot write");
  file.close();
  CancelAllDialogs dialogs;
  MainController program(dialogs);
  program.startUpWithFiles(QStringLiteral("/nonexistent/default.par"));
  for (auto _ : state) program.openByName(path);
  state.counters["points"] = program.data.LastPoint + 1;
  state.counters["pictures"] =
      benchmark::Counter(double(program.view.redrawCount()), benchmark::Counter::kAvgIterations);
}

void BM_OpenIgc65536Fixes(benchmark::State& state) { openEachIteration(state, "flug.igc", syntheticIgc()); }
void BM_OpenLogger32768Samples(benchmark::State& state) { openEachIteration(state, "flug.csv", syntheticLogger()); }
// The model glider as a GPS unit writes it; written to TRELVANO_GPX_FILE where
// that is set (bench/gpx-vs-xmllint.sh times xmllint on the same file).
void BM_OpenGpx60000Points(benchmark::State& state) {
  openEachIteration(state, "flug.gpx", gliderGpx(), QString::fromLocal8Bit(qgetenv("TRELVANO_GPX_FILE")));
}
BENCHMARK(BM_OpenIgc65536Fixes)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_OpenLogger32768Samples)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_OpenGpx60000Points)->Unit(benchmark::kMillisecond);

}  // namespace
