// Loading a flight from the bytes of its file to the finished frame, shadow
// and plumb lines; beside each, the floor of the same run: copying the point
// records the load writes (FlightPath, ShadowPath and two PlumbLines entries
// per point).
#include "SyntheticFlight.h"
#include "app/core/MainController.h"
#include "import/Coordinates.h"
#include "import/GpxReader.h"
#include "import/IgcReader.h"
#include "import/LocalFrame.h"
#include "import/LoggerReader.h"

#include <QFile>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstring>
#include <vector>

namespace {

constexpr int kIgcFixes = 65536;
constexpr int kLoggerSamples = 32768;

// A recorder's file: header lines, then one B record a second with FXA and SIU
// extensions (39 characters), CR LF.
QByteArray syntheticIgc() {
  QByteArray text = "AXXX001 synthetic\r\nHFDTE150423\r\nHFPLTPILOT:Test\r\nI023638FXA3940SIU\r\n";
  char line[64];
  for (int i = 0; i < kIgcFixes; ++i) {
    const int t = 30000 + i;
    const int lat = 4700000 + (i * 7) % 60000;
    const int lon = 1100000 + (i * 11) % 90000;
    std::snprintf(line, sizeof line, "B%02d%02d%02d%07dN%08dEA%05d%05d%03d%02d\r\n", t / 3600 % 24, t / 60 % 60,
                  t % 60, lat, lon, 400 + i % 1500, 450 + i % 1500, 12, 9);
    text += line;
  }
  return text;
}

// The flight of syntheticIgc as a GPS unit writes it: a trkpt per fix with
// degrees, ele and time.
QByteArray syntheticGpx() {
  QByteArray text =
      "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<gpx version=\"1.1\" creator=\"bench\" "
      "xmlns=\"http://www.topografix.com/GPX/1/1\">\n<trk><name>synthetic</name><trkseg>\n";
  char line[160];
  for (int i = 0; i < kIgcFixes; ++i) {
    const int t = 30000 + i;
    const double lat = loggerDegrees(4700000 + (i * 7) % 60000);
    const double lon = loggerDegrees(1100000 + (i * 11) % 90000);
    std::snprintf(line, sizeof line,
                  "<trkpt lat=\"%.9f\" lon=\"%.9f\"><ele>%d</ele><time>2023-04-%02dT%02d:%02d:%02dZ</time></trkpt>\n",
                  lat, lon, 400 + i % 1500, 15 + t / 86400, t / 3600 % 24, t / 60 % 60, t % 60);
    text += line;
  }
  return text + "</trkseg></trk>\n</gpx>\n";
}

// A new-format logger file with GPS columns: 13 channels, latitude, longitude, GPS altitude.
QByteArray syntheticLogger() {
  QByteArray text = "1;64;4;0;0;0\r\nheader\r\n";
  char line[160];
  for (int i = 0; i < kLoggerSamples; ++i) {
    std::snprintf(line, sizeof line, "%d;%d;%d;%d;%d;%d;%d;%d;%d;%d;%d;%d;%d;%d;%d;%d\r\n", 32000 + i % 500,
                  512 + i % 300, 600, 700 + i % 50, 800, 900, 1000 + i % 80, 2200 + i % 900, 1500, 1520 + i % 40,
                  1480, 0, 0, 4700000 + (i * 7) % 60000, 1100000 + (i * 11) % 90000, 5000 + i % 3000);
    text += line;
  }
  return text;
}

// One load of `bytes` per iteration, by `load`; `lastPlumbEntry` is read
// back so that the frame cannot be optimised away.
template <class Load>
void loadEachIteration(benchmark::State& state, const QByteArray& bytes, Load load, int32_t lastPlumbEntry) {
  const FlightDataPtr data = makeFlightData();
  const LoadStagingPtr staging = makeLoadStaging();
  for (auto _ : state) {
    load(*data, *staging, bytes);
    benchmark::DoNotOptimize(data->PlumbLines.data()[lastPlumbEntry].Z);
  }
  state.counters["points"] = data->LastPoint + 1;
  state.SetBytesProcessed(state.iterations() * bytes.size());
}

void BM_LoadIgc65536Fixes(benchmark::State& state) {
  loadEachIteration(state, syntheticIgc(), [](FlightData& d, LoadStaging& s, const QByteArray& b) {
    loadIgc(d, s, b, QStringLiteral("bench.igc"));
  }, 2 * kIgcFixes - 1);
}
BENCHMARK(BM_LoadIgc65536Fixes)->Unit(benchmark::kMillisecond);

void BM_LoadGpx65536Points(benchmark::State& state) {
  loadEachIteration(state, syntheticGpx(), [](FlightData& d, LoadStaging& s, const QByteArray& b) {
    loadGpx(d, s, b, QStringLiteral("bench.gpx"));
  }, 2 * kIgcFixes - 1);
}
BENCHMARK(BM_LoadGpx65536Points)->Unit(benchmark::kMillisecond);

void BM_LoadLogger32768Samples(benchmark::State& state) {
  loadEachIteration(state, syntheticLogger(), [](FlightData& d, LoadStaging& s, const QByteArray& b) {
    loadLoggerFile(d, s, b, QStringLiteral("bench.csv"));
  }, 2 * kLoggerSamples - 1);
}
BENCHMARK(BM_LoadLogger32768Samples)->Unit(benchmark::kMillisecond);

// The model glider flight of the redraw benchmarks as a GPS unit writes it:
// 60000 points a second apart, within a few kilometres of the start.
QByteArray gliderGpx() {
  constexpr int kPoints = 60000;
  const FlightDataPtr flight = makeSyntheticFlight(kModelGlider, kPoints);
  QByteArray text =
      "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<gpx version=\"1.1\" creator=\"bench\" "
      "xmlns=\"http://www.topografix.com/GPX/1/1\">\n<trk><name>glider</name><trkseg>\n";
  char line[160];
  for (int i = 0; i < kPoints; ++i) {
    const FlightPoint& p = flight->FlightPath[i];
    const double lat = 47.1 + p.Y / kMetresPerDegree;
    const double lon = 11.5 - p.X / (kMetresPerDegree * latitudeCosine(lat));
    const int t = 36000 + i;
    std::snprintf(line, sizeof line,
                  "<trkpt lat=\"%.7f\" lon=\"%.7f\"><ele>%.1f</ele><time>2023-06-%02dT%02d:%02d:%02dZ</time></trkpt>\n",
                  lat, lon, 500 + p.Z, 1 + t / 86400, t / 3600 % 24, t / 60 % 60, t % 60);
    text += line;
  }
  return text + "</trkseg></trk>\n</gpx>\n";
}

// Opening a GPX file as "Datei → *.gpx Öffnen" does once the file is chosen:
// reading, framing and the first pictures (home position, zoomed to fit).
// The file is gliderGpx, written to TRELVANO_GPX_FILE where that is set
// (bench/gpx-vs-xmllint.sh times xmllint on it), else to a temporary folder.
void BM_OpenGpxFile60000Points(benchmark::State& state) {
  QTemporaryDir dir;
  QString path = QString::fromLocal8Bit(qgetenv("TRELVANO_GPX_FILE"));
  if (path.isEmpty()) path = dir.filePath(QStringLiteral("bench.gpx"));
  QFile file(path);
  if (!file.open(QIODevice::WriteOnly) || file.write(gliderGpx()) < 0 || !file.flush()) {
    state.SkipWithError("cannot write the GPX file");
    return;
  }
  file.close();
  CancelAllDialogs dialogs;
  MainController controller(dialogs);
  long long redraws = 0;
  for (auto _ : state) {
    const long long before = controller.view.redrawCount();
    controller.openGpxFile(path);
    redraws = controller.view.redrawCount() - before;
    benchmark::DoNotOptimize(controller.view.BackBuffer.constBits());
  }
  state.counters["points"] = controller.data.LastPoint + 1;
  state.counters["pictures"] = double(redraws);
}
BENCHMARK(BM_OpenGpxFile60000Points)->Unit(benchmark::kMillisecond);

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
