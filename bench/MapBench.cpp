// Loading the two maps: the sampling of a large picture into the 100 × 100
// cells (fast and by the blend), the whole pixel-map load of a bitmap file,
// and a vector map of the largest size read from its file.
#include "import/FileBytes.h"
#include "import/PixelMapReader.h"
#include "import/VectorMapReader.h"

#include <QTemporaryFile>
#include <QtEndian>
#include <benchmark/benchmark.h>

#include <cmath>
#include <random>
#include <vector>

using namespace trelvano;

namespace {

// An aerial picture stand-in: smooth fields with noise, so the blend meets varied pixels.
QImage syntheticPicture(int w, int h) {
  QImage img(w, h, QImage::Format_RGB32);
  std::mt19937 rng(7);
  for (int y = 0; y < h; ++y) {
    auto* line = reinterpret_cast<QRgb*>(img.scanLine(y));
    for (int x = 0; x < w; ++x) {
      const int field = (x / 150 + y / 110) % 5;
      line[x] = qRgb(90 + 25 * field + int(rng() % 16), 140 + int(rng() % 24), 60 + 15 * field);
    }
  }
  return img;
}

// Arguments: 1 for the fast sampling.
void BM_SampleMapCells4000x3000(benchmark::State& state) {
  const QImage picture = syntheticPicture(4000, 3000);
  std::vector<int32_t> colours(kMapCellCount);
  for (auto _ : state) {
    sampleMapCells(picture, state.range(0) != 0, colours.data());
    benchmark::DoNotOptimize(colours.data());
  }
}

// Decoding a 24-bit BMP of 4000 × 3000 pixels (36 MB) from its file, then the slow sampling.
void BM_LoadPixelMapBmp4000x3000(benchmark::State& state) {
  QTemporaryFile file;
  file.open();
  syntheticPicture(4000, 3000).convertToFormat(QImage::Format_RGB888).save(&file, "BMP");
  file.close();
  FlightDataPtr data = makeFlightData();
  data->FastMapLoading = false;
  QByteArray bytes;
  for (auto _ : state) {
    readWholeFile(file.fileName(), bytes);
    loadPixelMap(*data, bytes, QStringLiteral("karte.bmp"));
  }
}

// 131072 records (4 MB): strokes of 100 points around a flight near 48° N.
void BM_LoadVectorMap131072(benchmark::State& state) {
  QByteArray bytes;
  for (int k = 0; k < kPointCapacity; ++k) {
    char raw[kVectorRecordSize];
    qToLittleEndian(48.1 + 0.02 * std::sin(k * 0.001) + 0.0001 * (k % 100), raw);
    qToLittleEndian(11.5 + 0.03 * std::cos(k * 0.001), raw + 8);
    qToLittleEndian(0.0, raw + 16);
    qToLittleEndian<int32_t>(0x00408040 + k % 64, raw + 24);
    qToLittleEndian<int32_t>(k % 100 == 0 ? 0 : 1, raw + 28);
    bytes.append(raw, kVectorRecordSize);
  }
  QTemporaryFile file;
  file.open();
  file.write(bytes);
  file.close();
  FlightDataPtr data = makeFlightData();
  data->FlightPath[0].Lat = 48.1;
  data->FlightPath[0].Lon = 11.5;
  for (auto _ : state) {
    readWholeFile(file.fileName(), bytes);
    loadVectorMap(*data, bytes, QStringLiteral("karte.map"));
  }
  state.counters["VectorMapLast"] = data->VectorMapLast;
}

}  // namespace

BENCHMARK(BM_SampleMapCells4000x3000)->ArgName("fast")->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LoadPixelMapBmp4000x3000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LoadVectorMap131072)->Unit(benchmark::kMillisecond);
