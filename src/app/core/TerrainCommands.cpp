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
const QString kNoteSeparator = QStringLiteral(" – ");

void requireFile(const QString& path) {
  const QFileInfo file(path);
  if (!file.exists()) throw inFile(RunError::fileNotFound(), file.fileName());
  if (!file.isFile() || !file.isReadable()) throw inFile(RunError::cannotOpen(), file.fileName());
}

bool sameKeyIn(const QStringList& files, const QString& key) {
  return std::any_of(files.begin(), files.end(), [&](const QString& f) { return elevationKey(f) == key; });
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

FolderTiles MainController::folderTilesBeside(const QStringList& files) const {
  if (terrainFolder_.isEmpty()) return {};
  FolderTiles tiles = tilesInFolder(terrainFolder_, gridBox(groundGridFor(data, 0), flightOrigin(data)));
  // A tile the user loaded himself stands for the folder's.
  for (qsizetype k = tiles.files.size() - 1; k >= 0; --k)
    if (sameKeyIn(files, elevationKey(tiles.files[k]))) {
      tiles.files.removeAt(k);
      tiles.onDisk.removeAt(k);
    }
  std::erase_if(tiles.unusable, [&](const UnusableTile& u) { return sameKeyIn(files, elevationKey(u.file)); });
  return tiles;
}

LoadStatus MainController::openTerrainFiles(const QStringList& paths) {
  // Each tile of an archive on its own; one of the same tile (or name) replaces the one before.
  std::vector<QStringList> chosen;
  QStringList files = terrainFiles_;
  for (const QString& path : paths) {
    requireFile(path);
    chosen.push_back(elevationMembers(QFileInfo(path).absoluteFilePath()));
    for (const QString& member : chosen.back()) {
      const QString key = elevationKey(member);
      files.removeIf([&](const QString& f) { return elevationKey(f) == key; });
      files << member;
    }
  }
  if (state.flightFile.isEmpty()) {
    // No flight yet: the files are checked now and laid under the next one.
    for (const QStringList& members : chosen)
      for (const QString& member : members) checkElevationFile(member);
    terrainFiles_ = files;
    return LoadStatus::Loaded;
  }
  TerrainBuild build = buildTerrain(data, files, folderTilesBeside(files));
  for (qsizetype k = 0; k < paths.size(); ++k) {
    const QStringList& members = chosen[size_t(k)];
    if (std::none_of(members.begin(), members.end(),
                     [&](const QString& m) { return build.info.tiles.contains(rasterDisplayName(m)); }))
      throw inFile(RunError::terrainOutsideFlight(), QFileInfo(paths[k]).fileName());
  }
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
  commitTerrain(data, std::move(build));
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
  // "Darstellung → Karte" hides and shows it, the terrain staying.
  view.layers.GeoKarteVisible = true;
  view.layers.Karte = true;
  data.MouseDragBlocked = true;
  view.Grafikupdate();
  return LoadStatus::Loaded;
}

void MainController::refreshGround() {
  // A flight without a position (a logger file without GPS) has no ground.
  const bool placed = data.MinLat != 0 || data.MaxLat != 0 || data.MinLon != 0 || data.MaxLon != 0;
  if (!placed || (terrainFiles_.isEmpty() && terrainFolder_.isEmpty())) {
    clearTerrain(data);
  } else {
    TerrainBuild build = buildTerrain(data, terrainFiles_, folderTilesBeside(terrainFiles_));
    if (build.nearFlight) {
      commitTerrain(data, std::move(build));
    } else {
      clearTerrain(data);
      data.TerrainState = std::move(build.info);  // names the tiles that are missing or cannot be read
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

// "Geländedaten fehlen: N47E012, N48E012" and the folder's tiles that cannot
// be read after the flight's own status, whenever terrain is asked for.
void MainController::showTerrainStatus() {
  if (!terrainNote_.isEmpty() && state.statusText.endsWith(terrainNote_)) state.statusText.chop(terrainNote_.size());
  terrainNote_.clear();
  if (terrainFiles_.isEmpty() && terrainFolder_.isEmpty()) return;
  const TerrainInfo& info = data.TerrainState;
  if (!info.missingTiles.isEmpty())
    terrainNote_ += kNoteSeparator + kMissingNote + info.missingTiles.join(QStringLiteral(", "));
  for (const QString& tile : info.unusableTiles) terrainNote_ += kNoteSeparator + tile;
  state.statusText += terrainNote_;
}

}  // namespace trelvano
