// The terrain and georeferenced-map commands of the menu "Datei".
#include "app/core/MainController.h"

#include "import/MapDrapeLoader.h"
#include "import/TerrainLoader.h"
#include "import/TextLines.h"
#include "model/RunError.h"
#include "overlay/Infobox.h"

#include <QFileInfo>

#include <algorithm>
#include <optional>

namespace trelvano {

namespace {

const QString kTerrainFilter = QStringLiteral("Geländedaten (*.hgt *.hgt.zip *.tif *.tiff)");
const QString kMapFilter = QStringLiteral("Georeferenzierte Karten (*.tif *.tiff *.png *.jpg *.jpeg *.mbtiles)");
const QString kMissingNote = QStringLiteral("Geländedaten fehlen: ");

bool sameName(const QString& a, const QString& b) {
  return QFileInfo(a).fileName().compare(QFileInfo(b).fileName(), Qt::CaseInsensitive) == 0;
}

void requireFile(const QString& path) {
  const QFileInfo file(path);
  if (!file.exists()) throw inFile(RunError::fileNotFound(), file.fileName());
  if (!file.isFile() || !file.isReadable()) throw inFile(RunError::cannotOpen(), file.fileName());
}

// The points' altitudes as heights above sea level: GNSS heights above the
// ellipsoid brought to the geoid the elevation data use.
std::vector<double> seaLevelAltitudes(const FlightData& data, bool ellipsoidal) {
  const size_t n = size_t(std::max(0, data.LastPoint)) + 1;
  std::vector<double> altitudes(n), lat(n), lon(n);
  for (size_t i = 0; i < n; ++i) {
    const FlightPoint& p = data.FlightPath[int32_t(i)];
    altitudes[i] = p.Altitude, lat[i] = p.Lat, lon[i] = p.Lon;
  }
  if (ellipsoidal) ellipsoidToGeoid(lat.data(), lon.data(), altitudes.data(), int(n));
  return altitudes;
}

}  // namespace

// "Gelände laden…"
void MainController::openTerrain() {
  data.MouseDragBlocked = true;
  const QStringList paths = dialogs.openFiles(kTerrainFilter, QStringLiteral("Gelände laden"));
  if (!paths.isEmpty()) openTerrainFiles(paths);
}

// "Geländeordner…"
void MainController::chooseTerrainFolder() {
  data.MouseDragBlocked = true;
  const QString folder = dialogs.chooseFolder(QStringLiteral("Geländeordner"), terrainFolder_);
  if (!folder.isEmpty()) setTerrainFolder(folder);
}

// "Georeferenzierte Karte laden…"
void MainController::openGeoMap() {
  data.MouseDragBlocked = true;
  const QString path = dialogs.openFile(kMapFilter, QStringLiteral("Georeferenzierte Karte laden"), {});
  if (!path.isEmpty()) openGeoMap(path);
}

QStringList MainController::allTerrainFiles() const { return withFolderTiles(terrainFiles_); }

QStringList MainController::withFolderTiles(QStringList files) const {
  if (terrainFolder_.isEmpty()) return files;
  const GeoBox box = gridBox(groundGridFor(data, 0), flightOrigin(data));
  for (const QString& tile : tilesInFolder(terrainFolder_, box))
    if (std::none_of(files.begin(), files.end(), [&](const QString& f) { return sameName(f, tile); })) files << tile;
  return files;
}

LoadStatus MainController::openTerrainFiles(const QStringList& paths) {
  QStringList files = terrainFiles_;
  for (const QString& path : paths) {
    requireFile(path);
    files.removeIf([&](const QString& f) { return sameName(f, path); });
    files << QFileInfo(path).absoluteFilePath();
  }
  if (state.flightFile.isEmpty()) {
    // No flight yet: the files are checked now and laid under the next one.
    for (const QString& path : paths) elevationFacts(path);
    terrainFiles_ = files;
    return LoadStatus::Loaded;
  }
  TerrainBuild build = buildTerrain(data, withFolderTiles(files));
  for (const QString& path : paths)
    if (!build.info.tiles.contains(QFileInfo(path).fileName()))
      throw inFile(RunError::outsideFlight(), QFileInfo(path).fileName());
  // The map follows the terrain's grid: warped again before anything is replaced.
  std::optional<MapDrapeBuild> map;
  if (!geoMapFile_.isEmpty()) {
    try {
      map = buildMapDrape(data, geoMapFile_, &build.grid);
    } catch (const RunError&) {
      map.reset();  // the map's file went away since: no map on the new grid
    }
  }
  terrainFiles_ = files;
  commitTerrain(data, std::move(build), seaLevelAltitudes(data, ellipsoidalHeights_).data());
  data.GeoMap = map && map->coversFlight ? std::move(map->drape) : MapDrape{};
  view.layers.Gelaende = true;
  Infobox(data, panels);
  showTerrainStatus();
  data.MouseDragBlocked = true;
  view.Grafikupdate();
  return LoadStatus::Loaded;
}

void MainController::setTerrainFolder(const QString& folder) {
  terrainFolder_ = folder;
  if (state.flightFile.isEmpty()) return;
  refreshGround();
  Infobox(data, panels);
  view.Grafikupdate();
}

LoadStatus MainController::openGeoMap(const QString& path) {
  requireFile(path);
  MapDrapeBuild build = buildMapDrape(data, path);
  if (!state.flightFile.isEmpty() && !build.coversFlight)
    throw inFile(RunError::outsideFlight(), QFileInfo(path).fileName());
  geoMapFile_ = QFileInfo(path).absoluteFilePath();
  geoMapFacts_ = build.facts;
  data.GeoMap = std::move(build.drape);
  ++data.SceneVersion;
  data.MouseDragBlocked = true;
  view.Grafikupdate();
  return LoadStatus::Loaded;
}

void MainController::refreshGround() {
  // A flight without a position (a logger file without GPS) has no ground.
  const bool placed = data.MinLat != 0 || data.MaxLat != 0 || data.MinLon != 0 || data.MaxLon != 0;
  const QStringList files = placed ? allTerrainFiles() : QStringList();
  if (files.isEmpty()) {
    clearTerrain(data);
  } else {
    TerrainBuild build = buildTerrain(data, files);
    if (build.nearFlight)
      commitTerrain(data, std::move(build), seaLevelAltitudes(data, ellipsoidalHeights_).data());
    else {
      clearTerrain(data);
      data.TerrainState = std::move(build.info);  // names the tiles that are missing
    }
  }
  data.GeoMap = MapDrape{};
  if (placed && !geoMapFile_.isEmpty()) {
    MapDrapeBuild map = buildMapDrape(data, geoMapFile_);
    if (map.coversFlight) data.GeoMap = std::move(map.drape);
  }
  ++data.SceneVersion;
  showTerrainStatus();
}

std::optional<RunError> MainController::refreshGroundAfterLoad() {
  if (terrainFiles_.isEmpty() && terrainFolder_.isEmpty() && geoMapFile_.isEmpty()) {
    if (!data.Terrain.empty() || data.HasHeightAboveGround || !data.TerrainState.missingTiles.isEmpty())
      clearTerrain(data);
    return std::nullopt;
  }
  try {
    refreshGround();
  } catch (const RunError& e) {
    // The flight stays loaded; its ground is left out and the error shown.
    clearTerrain(data);
    data.GeoMap = MapDrape{};
    return e;
  }
  return std::nullopt;
}

GroundFileKind groundFileKind(const QString& path) {
  if (isElevationFileName(path)) return GroundFileKind::Terrain;
  if (path.endsWith(QLatin1String(".mbtiles"), Qt::CaseInsensitive)) return GroundFileKind::Map;
  const QString suffix = QFileInfo(path).suffix().toLower();
  if (suffix == QLatin1String("tif") || suffix == QLatin1String("tiff")) {
    RasterFacts facts;
    if (describeRaster(path, facts)) {
      if (facts.bands == 1 && !facts.palette && facts.numeric) return GroundFileKind::Terrain;
      if (facts.hasCrs) return GroundFileKind::Map;
    }
  }
  return hasWorldFile(path) ? GroundFileKind::Map : GroundFileKind::None;
}

// "Geländedaten fehlen: N47E012, N48E012" after the flight's own status.
void MainController::showTerrainStatus() {
  const qsizetype note = state.statusText.indexOf(QStringLiteral(" – ") + kMissingNote);
  if (note >= 0) state.statusText.truncate(note);
  const QStringList& missing = data.TerrainState.missingTiles;
  const bool anyTerrain = !allTerrainFiles().isEmpty();
  if (anyTerrain && !missing.isEmpty())
    state.statusText += QStringLiteral(" – ") + kMissingNote + missing.join(QStringLiteral(", "));
}

}  // namespace trelvano
