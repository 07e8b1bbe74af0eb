#include "GroundHarness.h"

#include "FuzzHarness.h"
#include "import/FileBytes.h"
#include "import/Raster.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <cstring>
#include <string>

namespace trelvano {

namespace {

QString source(const char* relative) { return QStringLiteral(TRELVANO_SOURCE_DIR "/") + QLatin1String(relative); }

[[noreturn]] void fail(const std::string& what) {
  std::fprintf(stderr, "fuzz: %s\n", what.c_str());
  std::abort();
}

template <class T>
bool sameBytes(const std::vector<T>& a, const std::vector<T>& b) {
  return a.size() == b.size() && (a.empty() || std::memcmp(a.data(), b.data(), a.size() * sizeof(T)) == 0);
}

bool sameGrid(const GroundGrid& a, const GroundGrid& b) {
  return a.serial == b.serial && a.columns == b.columns && a.rows == b.rows &&
         std::memcmp(&a.x0, &b.x0, sizeof a.x0) == 0 && std::memcmp(&a.y0, &b.y0, sizeof a.y0) == 0 &&
         std::memcmp(&a.step, &b.step, sizeof a.step) == 0;
}

// Everything of the ground a failed command must leave alone, beside the
// flight's own values (StateSnapshot).
struct GroundSnapshot {
  TerrainGrid terrain;
  TerrainInfo info;
  MapDrape map;
  std::vector<double> heightAboveGround;
  bool hasHeightAboveGround;
  QStringList terrainFiles;
  QString mapFile, mapDriver, mapCrs, statusText;
  GeoBox mapBounds;

  explicit GroundSnapshot(const MainController& c)
      : terrain(c.data.Terrain),
        info(c.data.TerrainState),
        map(c.data.GeoMap),
        heightAboveGround(c.data.HeightAboveGround, c.data.HeightAboveGround + c.data.LastPoint + 1),
        hasHeightAboveGround(c.data.HasHeightAboveGround),
        terrainFiles(c.terrainFiles()),
        mapFile(c.geoMapFile()),
        mapDriver(c.geoMapFacts().driver),
        mapCrs(c.geoMapFacts().crs),
        statusText(c.state.statusText),
        mapBounds(c.geoMapFacts().bounds) {}

  // What differs first, or "" when nothing does.
  std::string differenceTo(const MainController& c) const {
    const FlightData& d = c.data;
    if (!sameGrid(terrain, d.Terrain) || !sameBytes(terrain.height, d.Terrain.height) ||
        terrain.minHeight != d.Terrain.minHeight || terrain.maxHeight != d.Terrain.maxHeight)
      return "Terrain";
    if (info.tiles != d.TerrainState.tiles || info.missingTiles != d.TerrainState.missingTiles ||
        info.filledVoids != d.TerrainState.filledVoids)
      return "TerrainState";
    if (!sameGrid(map, d.GeoMap) || !sameBytes(map.colour, d.GeoMap.colour)) return "GeoMap";
    if (hasHeightAboveGround != d.HasHeightAboveGround ||
        std::memcmp(heightAboveGround.data(), d.HeightAboveGround, heightAboveGround.size() * sizeof(double)) != 0)
      return "HeightAboveGround";
    if (terrainFiles != c.terrainFiles()) return "terrainFiles";
    if (mapFile != c.geoMapFile() || mapDriver != c.geoMapFacts().driver || mapCrs != c.geoMapFacts().crs ||
        std::memcmp(&mapBounds, &c.geoMapFacts().bounds, sizeof mapBounds) != 0)
      return "geoMapFile";
    if (statusText != c.state.statusText) return "statusText";
    return {};
  }
};

// A memory file system where there is one, so the inputs never reach a disk.
QString scratchParent() {
  const QFileInfo shm(QStringLiteral("/dev/shm"));
  return shm.isDir() && shm.isWritable() ? shm.absoluteFilePath() : QDir::tempPath();
}

}  // namespace

GroundWorld::GroundWorld() {
  fuzzWorld();  // the application object and the quiet message handler
  static QTemporaryDir folder(scratchParent() + QStringLiteral("/trelvano-fuzz-XXXXXX"));
  static QTemporaryDir goodFolder(scratchParent() + QStringLiteral("/trelvano-fuzz-good-XXXXXX"));
  if (!folder.isValid() || !goodFolder.isValid()) fail("no scratch folder");
  scratch = folder.path();
  // A flat 520 m tile, big-endian.
  QByteArray tile(1201 * 1201 * 2, Qt::Uninitialized);
  for (qsizetype k = 0; k < tile.size(); k += 2) tile[k] = char(520 >> 8), tile[k + 1] = char(520 & 0xFF);
  good = goodFolder.filePath(QStringLiteral("N48E011.hgt"));
  writeWholeFile(good, tile);
  goodZip = source("tests/fuzz/seeds/hgtzip/N48E011.hgt.zip");
  reset();
}

void GroundWorld::reset() {
  core = std::make_unique<MainController>(dialogs);
  core->view.resizeImage(48, 32);  // the commands redraw; a small picture keeps that cheap
  core->openIgcFile(source("examples/rundflug.igc"));
  core->openTerrainFiles({source("tests/fuzz/seeds/elevation/int16-degrees.tif")});
  core->openGeoMap(source("tests/fuzz/seeds/geotiff/rgb-degrees.tif"));
  if (core->data.Terrain.empty() || core->data.GeoMap.empty()) fail("the example flight has no terrain or map");
}

QString GroundWorld::folder() const { return scratch + QStringLiteral("/%1").arg(input_); }

QString GroundWorld::write(const QString& name, QByteArrayView bytes) const {
  const QString path = QDir(folder()).filePath(name);
  QDir().mkpath(QFileInfo(path).absolutePath());
  QFile file(path);
  if (!file.open(QIODevice::WriteOnly) || file.write(bytes.data(), bytes.size()) != bytes.size())
    fail("cannot write " + path.toStdString());
  return path;
}

void GroundWorld::clear() {
  QDir(folder()).removeRecursively();  // follows no link: the good tiles stay
  ++input_;
}

GroundWorld& groundWorld() {
  static GroundWorld world;
  return world;
}

void expectGroundLoadedOrUnchanged(QByteArrayView input, const std::function<void(MainController&)>& command,
                                   bool freshAfterSuccess) {
  GroundWorld& w = groundWorld();
  MainController& c = *w.core;
  const int reach = StateSnapshot::reachOf(input.data(), size_t(input.size()), c.data);
  const StateSnapshot flight(c.data, reach, std::min(reach, kSampleRows));
  const GroundSnapshot ground(c);
  try {
    command(c);
    // A flight loaded elsewhere leaves no ground to fail on: start afresh.
    if (freshAfterSuccess || c.data.Terrain.empty() || c.data.GeoMap.empty()) w.reset();
  } catch (const RunError& e) {
    if (e.text().isEmpty()) fail("an error without a message");
    const QString raw = lastRasterMessage();
    if (!raw.isEmpty() && (e.text().contains(raw) || e.detail().contains(raw)))
      fail("GDAL's own message reached the user: " + raw.toStdString());
    std::string changed = flight.differenceTo(c.data);
    if (changed.empty()) changed = ground.differenceTo(c);
    if (!changed.empty()) fail("failed command (" + std::string(e.what()) + ") changed " + changed);
  }
  w.clear();
}

}  // namespace trelvano
