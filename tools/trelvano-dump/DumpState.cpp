#include "DumpState.h"

#include "DumpFlights.h"

#include "DumpAnalysis.h"

#include "DumpChart.h"
#include "DumpScore.h"

#include "app/core/Exaggeration.h"
#include "import/ChannelConversion.h"
#include "import/FileBytes.h"
#include "import/TerrainLoader.h"
#include "import/ParameterFile.h"
#include "model/RunError.h"
#include "overlay/Overlay.h"
#include "view3d/GroundClearance.h"
#include "canvas/PngBytes.h"

#include <QFileInfo>

#include <algorithm>
#include <cmath>
#include <utility>
#include <functional>

namespace trelvano {

namespace {
const char* const kInfoKeys[6] = {"LabelDauer", "LabelHmax", "LabelVmax", "LabelVmax3", "LabelNS", "LabelOW"};

void applyLayers(MainController& program, const DumpOptions& o) {
  if (!o.layers) return;
  for (const LayerItem& item : kLayerItems)
    program.view.layers.*item.item = o.layers->contains(QLatin1String(item.caption));
}

// Runs one file command as the window would and records how it ended;
// `load` returns false for a file that could not be opened.
FileOutcome fileCommand(const QString& path, const std::function<bool()>& load) {
  FileOutcome out{path, QStringLiteral("ok"), {}};
  try {
    if (!load()) out.status = QStringLiteral("unopened");
  } catch (const RunError& e) {
    out.status = QStringLiteral("error");
    out.error = e.boxText();
  }
  return out;
}

}  // namespace

void applyStartOptions(MainController& program, const DumpOptions& o, std::vector<FileOutcome>& outcomes) {
  FlightData& d = program.data;
  if (o.size != QSize(program.view.BackBuffer.width(), program.view.BackBuffer.height()))
    program.view.resizeImage(o.size.width(), o.size.height());
  applyLayers(program, o);
  if (!o.parFile.isEmpty())
    outcomes.push_back(fileCommand(o.parFile, [&] { return Ladeparameter(d.ChannelParams, o.parFile); }));
  if (o.temperature) d.Temperature = *o.temperature;
  if (o.baro) d.UseBaroAltitude = true;
  if (o.slowMap) d.FastMapLoading = false;
}

FileOutcome loadForDump(MainController& program, const QString& path) {
  return fileCommand(path, [&] { return program.openFlightFile(path) == LoadStatus::Loaded; });
}

FileOutcome addForDump(MainController& program, const QString& path) {
  return fileCommand(path, [&] { return program.addFlightFile(path) == LoadStatus::Loaded; });
}

FileOutcome loadMapForDump(MainController& program, const DumpOptions::MapFile& map) {
  return fileCommand(map.path, [&] {
    return (map.vector ? program.openVectorMap(map.path) : program.openPixelMap(map.path)) == LoadStatus::Loaded;
  });
}

namespace {
bool isFolder(const QString& path) { return QFileInfo(path).isDir(); }
}  // namespace

void applyTerrainFolder(MainController& program, const DumpOptions& o) {
  for (const QString& dem : o.dems)
    if (isFolder(dem)) {
      program.setTerrainFolder(dem);
      return;
    }
}

void loadGroundForDump(MainController& program, const DumpOptions& o, std::vector<FileOutcome>& outcomes) {
  bool firstFolder = true;
  for (const QString& dem : o.dems) {
    if (isFolder(dem) && std::exchange(firstFolder, false)) continue;  // the setting, see applyTerrainFolder
    outcomes.push_back(fileCommand(dem, [&] {
      QStringList paths{dem};
      if (isFolder(dem)) {
        const FrameOrigin origin = trelvano::flightOrigin(program.data);
        paths =
            trelvano::tilesInFolder(dem, trelvano::gridBox(trelvano::groundGridFor(program.data, 0), origin)).onDisk;
        if (paths.isEmpty()) return true;
      }
      return program.openTerrainFiles(paths) == LoadStatus::Loaded;
    }));
  }
  if (!o.geoMap.isEmpty())
    outcomes.push_back(fileCommand(o.geoMap, [&] { return program.openGeoMap(o.geoMap) == LoadStatus::Loaded; }));
}

FileOutcome saveParForDump(MainController& program, const QString& path) {
  return fileCommand(path, [&] {
    program.saveParameters();
    return true;
  });
}

FileOutcome savePictureForDump(const QImage& picture, const QString& path) {
  return fileCommand(path, [&] {
    writeWholeFile(path, pictureBytes(picture, path));
    return true;
  });
}

void exportsForDump(MainController& program, const DumpOptions& o, std::vector<FileOutcome>& outcomes) {
  const std::pair<const QString&, void (MainController::*)(const QString&)> exports[] = {
      {o.exportKml, &MainController::exportKml},
      {o.exportGpx, &MainController::exportGpx},
      {o.exportCsv, &MainController::exportCsv}};
  for (const auto& [path, write] : exports)
    if (!path.isEmpty())
      outcomes.push_back(fileCommand(path, [&] {
        (program.*write)(path);
        return true;
      }));
}

void applyFinalOptions(MainController& program, const DumpOptions& o) {
  if (!o.maps.empty()) applyLayers(program, o);
  if (o.origin) {
    program.data.RangeStart = *o.origin;
    program.moveOriginToSectionStart();
  }
  if (o.overlay) {
    program.data.OverlayMode = *o.overlay;
    Overlay(program.data, program.view, program.panels);
    program.panels.timer1Enabled = program.panels.timer2Enabled = false;
  }
  if (o.camera) {
    Camera& c = program.view.cam;
    c.CamX = (*o.camera)[0];
    c.CamY = (*o.camera)[1];
    c.CamZ = (*o.camera)[2];
    c.CamA = (*o.camera)[3];
    c.CamE = (*o.camera)[4];
    c.CamD = std::max(1.0, (*o.camera)[5]);
  }
  // As "Darstellung → Überhöhung" after the loads and the camera: the eye keeps above the raised ground.
  if (o.exaggeration) setExaggeration(program.view, *o.exaggeration);
  if (!o.renderPath.isEmpty()) program.view.Grafikupdate();
}

static void writeState(JsonWriter& json, const MainController& program) {
  const FlightData& d = program.data;
  json.key("state");
  json.beginObject();
  json.field("LastPoint", d.LastPoint);
  json.field("RangeStart", d.RangeStart);
  json.field("RangeEnd", d.RangeEnd);
  json.field("PlumbLast", d.PlumbLast);
  json.field("SampleInterval", d.SampleInterval);
  json.field("LoggerNG", d.LoggerNG);
  json.field("HasGpsColumns", d.HasGpsColumns);
  json.field("LoggerHeaderId", d.LoggerHeaderId);
  json.field("LoggerHeaderFlags", d.LoggerHeaderFlags);
  json.field("UseBaroAltitude", d.UseBaroAltitude);
  json.field("Temperature", d.Temperature);
  json.field("MaxAltitude", d.MaxAltitude);
  json.field("MaxLat", d.MaxLat);
  json.field("MinLat", d.MinLat);
  json.field("MaxLon", d.MaxLon);
  json.field("MinLon", d.MinLon);
  json.field("StartLatRaw", d.StartLatRaw);
  json.field("StartLonRaw", d.StartLonRaw);
  json.field("StartAltitude", d.StartAltitude);
  json.field("statusText", program.state.statusText);
  json.field("hLabel", program.state.hLabel);
  json.field("grafikVisible", program.state.grafikVisible);
  json.endObject();
}

void writeDump(JsonWriter& json, MainController& program, const DumpOptions& o,
               const std::vector<FileOutcome>& outcomes, const ChartView* chart,
               const std::optional<FlightScore>& score) {
  const FlightData& d = program.data;
  json.beginObject();
  json.key("files");
  json.beginArray();
  for (const FileOutcome& f : outcomes) {
    json.beginObject();
    json.field("path", f.path);
    json.field("status", f.status);
    json.field("error", f.error);
    json.endObject();
  }
  json.endArray();

  writeState(json, program);

  json.key("info");
  json.beginObject();
  for (int k = 0; k < 6; ++k) {
    json.key(kInfoKeys[k]);
    json.value(program.panels.info[k]);
  }
  json.endObject();

  json.key("params");
  json.beginArray();
  for (int k = 0; k < kChannelCount; ++k) {
    const ChannelParam& p = d.ChannelParams[k];
    json.beginArray();
    json.value(p.Name);
    json.value(p.Offset);
    json.value(p.Koeffizient);
    json.value(p.Startwert);
    json.value(p.Kind);
    json.endArray();
  }
  json.endArray();

  json.key("points");
  json.beginArray();
  for (int i = 0; i <= d.LastPoint; ++i) {
    const FlightPoint& p = d.FlightPath[i];
    json.beginArray();
    for (double v : {p.Lat, p.Lon, p.Aux, p.Altitude, p.X, p.Y, p.Z, p.TimeStep}) json.value(v);
    json.value(p.Pen);
    json.value(p.Color);
    json.endArray();
  }
  json.endArray();

  if (o.overlay) {
    json.key("colors");
    json.beginArray();
    for (int i = 0; i <= d.LastPoint; ++i) json.value(d.FlightPath[i].Color);
    json.endArray();
  }

  if (program.view.layers.KarteVisible) {
    json.key("mapCells");
    json.beginArray();
    for (int i = 0; i <= d.MapCellsLast; ++i) json.value(d.MapCells[i].Color);
    json.endArray();
  }
  if (program.view.layers.VectorKarteVisible) {
    json.key("vectorMap");
    json.beginArray();
    for (int i = 0; i <= d.VectorMapLast; ++i) {
      const FlightPoint& p = d.VectorMap[i];
      json.beginArray();
      for (double v : {p.Lat, p.Lon, p.Altitude, p.X, p.Y}) json.value(v);
      json.value(p.Color);
      json.value(p.Pen);
      json.endArray();
    }
    json.endArray();
  }

  if (!o.dems.isEmpty() || !d.Terrain.empty()) {
    json.key("terrain");
    json.beginObject();
    json.key("tiles");
    json.beginArray();
    for (const QString& t : d.TerrainState.tiles) json.value(t);
    json.endArray();
    json.key("grid");
    json.beginArray();
    json.value(d.Terrain.columns);
    json.value(d.Terrain.rows);
    json.endArray();
    json.field("minHeight", double(d.Terrain.minHeight));
    json.field("maxHeight", double(d.Terrain.maxHeight));
    json.field("filledVoids", d.TerrainState.filledVoids);
    json.key("missingTiles");
    json.beginArray();
    for (const QString& t : d.TerrainState.missingTiles) json.value(t);
    json.endArray();
    json.key("unusableTiles");
    json.beginArray();
    for (const QString& t : d.TerrainState.unusableTiles) json.value(t);
    json.endArray();
    // Points over posts the files do not have (or no file at all): no height above ground.
    int withoutGround = d.LastPoint + 1;
    if (d.HasHeightAboveGround)
      withoutGround = int(std::count_if(d.HeightAboveGround, d.HeightAboveGround + d.LastPoint + 1,
                                        [](double h) { return std::isnan(h); }));
    json.field("pointsWithoutGround", withoutGround);
    json.field("eyeAboveGround", eyeAboveGround(d, program.view.layers, program.view.cam));
    json.endObject();
  }
  if (d.HasHeightAboveGround) {
    json.key("agl");
    json.beginArray();
    for (int i = 0; i <= d.LastPoint; ++i) json.value(d.HeightAboveGround[i]);  // NaN is written as null
    json.endArray();
  }
  if (!program.geoMapFile().isEmpty()) {
    const trelvano::MapFacts& m = program.geoMapFacts();
    json.key("map");
    json.beginObject();
    json.field("driver", m.driver);
    json.field("crs", m.crs);
    json.key("bounds");
    json.beginArray();
    for (double v : {m.bounds.west, m.bounds.south, m.bounds.east, m.bounds.north}) json.value(v);
    json.endArray();
    json.endObject();
  }

  if (d.LoggerNG) {
    json.key("channels");
    json.beginArray();
    for (int i = 0; i <= d.LastPoint; ++i) {
      json.beginArray();
      for (int k = 0; k < kChannelCount; ++k) {
        try {
          json.value(ParameterToString(d, i, k));
        } catch (const RunError&) {
          json.null();
        }
      }
      json.endArray();
    }
    json.endArray();
  }
  if (o.analysis) writeAnalysis(json, d);
  if (!program.flights.empty()) writeFlights(json, program.flights);
  if (chart) writeChart(json, *chart);
  writeScore(json, o, score);
  json.endObject();
}

}  // namespace trelvano
