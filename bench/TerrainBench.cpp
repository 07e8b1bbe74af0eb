// Terrain and georeferenced maps: four 1″ tiles (3601² points each) read
// onto the grid with the heights above ground of a 65536-point flight over
// all four, a flight load with a folder of such tiles set against one
// without, and the memory a flight with four tiles and a map takes.
#include "app/core/MainController.h"
#include "import/FlightFrame.h"
#include "import/TerrainLoader.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

#include <cmath>
#include <fstream>
#include <memory>
#include <string>

using namespace trelvano;

namespace {

constexpr int kTile1 = 3601;

// Hills of a few hundred metres over the four tiles around 47°N 11°E.
double hills(double lat, double lon) {
  return 900 + 300 * std::sin(lat * 40) * std::cos(lon * 30) + 150 * std::sin((lat + lon) * 90);
}

void writeTile(const QString& dir, int south, int west) {
  QByteArray bytes(qsizetype(kTile1) * kTile1 * 2, Qt::Uninitialized);
  char* out = bytes.data();
  for (int r = 0; r < kTile1; ++r)
    for (int c = 0; c < kTile1; ++c, out += 2) {
      const auto v = uint16_t(int16_t(std::lround(hills(south + 1 - r / 3600.0, west + c / 3600.0))));
      out[0] = char(v >> 8), out[1] = char(v & 0xFF);
    }
  QFile f(QDir(dir).filePath(QStringLiteral("N%1E%2.hgt").arg(south).arg(west, 3, 10, QLatin1Char('0'))));
  f.open(QIODevice::WriteOnly);
  f.write(bytes);
}

// The four tiles N47E010 … N48E011, written once for every benchmark here.
const QString& tileFolder() {
  static QTemporaryDir dir;
  static const bool written = [] {
    for (int south : {47, 48})
      for (int west : {10, 11}) writeTile(dir.path(), south, west);
    return true;
  }();
  (void)written;
  return *new QString(dir.path());
}

QStringList tileFiles() {
  QStringList files;
  for (const QFileInfo& f : QDir(tileFolder()).entryInfoList({QStringLiteral("*.hgt")})) files << f.absoluteFilePath();
  return files;
}

// `n` points on an ellipse of the given radii (degrees) around 48°N 11°E.
void circleFlight(FlightData& d, int n, double dLat, double dLon) {
  for (int i = 0; i < n; ++i) {
    const double a = 2 * M_PI * i / n;
    FlightPoint& p = d.FlightPath[i];
    p.Lat = 48 + dLat * std::sin(a), p.Lon = 11 + dLon * std::cos(a), p.Altitude = 2500 + 300 * std::sin(5 * a);
  }
  d.LastPoint = d.RangeEnd = n - 1;
  MaxMinusw(d);
}

QByteArray igcFlight(int n, double dLat, double dLon) {
  QByteArray text = "HFDTE010124\r\n";
  for (int i = 0; i < n; ++i) {
    const double a = 2 * M_PI * i / n;
    const double lat = 48 + dLat * std::sin(a), lon = 11 + dLon * std::cos(a);
    const int t = 36000 + i;
    char line[64];
    std::snprintf(line, sizeof line, "B%02d%02d%02d%02d%05dN%03d%05dEA%05d%05d\r\n", t / 3600 % 24, t / 60 % 60, t % 60,
                  int(lat), int(std::lround((lat - int(lat)) * 60000)), int(lon),
                  int(std::lround((lon - int(lon)) * 60000)), 1500, 1550);
    text += line;
  }
  return text;
}

long statusKb(const char* key) {
  std::ifstream status("/proc/self/status");
  std::string line;
  while (std::getline(status, line))
    if (line.rfind(key, 0) == 0) return std::stol(line.substr(std::strlen(key)));
  return 0;
}

// Lets the high-water mark of the resident memory start again from now.
void resetPeakMemory() { std::ofstream("/proc/self/clear_refs") << "5"; }

}  // namespace

// Four 1″ tiles onto the grid under a 65536-point flight that crosses all four.
void BM_TerrainFourTiles1s(benchmark::State& state) {
  const QStringList files = tileFiles();
  FlightDataPtr data = makeFlightData();
  circleFlight(*data, kMaxFlightPoints, 0.6, 0.6);
  for (auto _ : state) {
    TerrainBuild build = buildTerrain(*data, files);
    commitTerrain(*data, std::move(build));
  }
  state.counters["grid"] = data->Terrain.columns;
}
BENCHMARK(BM_TerrainFourTiles1s)->Unit(benchmark::kMillisecond);

// Loading an IGC flight of 3600 fixes (a 30 km circle over the four tiles),
// with the folder of tiles set (1) and without (0).
void BM_LoadIgcWithTerrainFolder(benchmark::State& state) {
  QTemporaryDir dir;
  const QString igc = dir.filePath(QStringLiteral("flug.igc"));
  QFile f(igc);
  f.open(QIODevice::WriteOnly);
  f.write(igcFlight(3600, 0.15, 0.2));
  f.close();
  CancelAllDialogs dialogs;
  MainController program(dialogs);
  if (state.range(0)) program.setTerrainFolder(tileFolder());
  for (auto _ : state) program.openIgcFile(igc);
  state.counters["tiles"] = program.data.TerrainState.tiles.size();
}
BENCHMARK(BM_LoadIgcWithTerrainFolder)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

// The growth of the peak resident memory while a flight over all four tiles
// loads them and a 4000 × 3000 picture with a world file over them (1), or
// only the flight (0); MB in the counter "peakMB".
void BM_TerrainAndMapMemory(benchmark::State& state) {
  QTemporaryDir dir;
  const QString picture = dir.filePath(QStringLiteral("karte.png"));
  {
    QImage img(4000, 3000, QImage::Format_RGB32);
    for (int y = 0; y < img.height(); ++y)
      for (int x = 0; x < img.width(); ++x) img.setPixel(x, y, qRgb(x % 251, y % 241, (x + y) % 239));
    img.save(picture);
    QFile world(dir.filePath(QStringLiteral("karte.pgw")));
    world.open(QIODevice::WriteOnly);
    world.write("0.0005\n0\n0\n-0.0005\n10.00025\n48.99975\n");
  }
  const QString igc = dir.filePath(QStringLiteral("flug.igc"));
  QFile f(igc);
  f.open(QIODevice::WriteOnly);
  f.write(igcFlight(20000, 0.6, 0.6));
  f.close();
  const QStringList files = tileFiles();
  double peakMb = 0;
  for (auto _ : state) {
    CancelAllDialogs dialogs;
    MainController program(dialogs);
    resetPeakMemory();
    const long before = statusKb("VmRSS:");
    program.openIgcFile(igc);
    if (state.range(0)) {
      program.openTerrainFiles(files);
      program.openGeoMap(picture);
    }
    peakMb = (statusKb("VmHWM:") - before) / 1024.0;
  }
  state.counters["peakMB"] = peakMb;
}
BENCHMARK(BM_TerrainAndMapMemory)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->Iterations(1);
