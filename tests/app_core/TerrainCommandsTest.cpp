// "Gelände laden…", "Geländeordner…" and "Georeferenzierte Karte laden…" as
// the window runs them: files by name, the folder with every flight load, the
// same map in three forms, and bad input that must leave everything as it was.
#include "chart/core/ChartView.h"
#include "app/core/FlightExport.h"
#include "app/core/MainController.h"
#include "options/core/OptionsController.h"
#include "import/ParameterFile.h"
#include "app/core/Exaggeration.h"
#include "common/BadGroundFiles.h"
#include "common/ScriptedDialogs.h"
#include "common/SyntheticTerrain.h"
#include "common/TestPaths.h"
#include "model/RunError.h"
#include "view3d/GroundClearance.h"
#include "view3d/Transform.h"

#include <QDateTime>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <algorithm>
#include <optional>

namespace terrain_commands_test {

using namespace trelvano;

namespace {

// A circle over the Luxembourg Ardennes, inside the test maps and the zipped tile N49E005.
const std::vector<std::array<double, 3>> kArdennes = circleAround(49.70, 5.88, 0.035, 0.05, 900);

struct Program {
  ScriptedDialogs dialogs;
  MainController core{dialogs};
  FlightData& d = core.data;
  QTemporaryDir dir;

  QString file(const QString& name, const QByteArray& bytes) { return writeBytes(dir.filePath(name), bytes); }
  void fly(const std::vector<std::array<double, 3>>& points, const char* datum = "GEO", bool gnssOnly = false) {
    core.openIgcFile(file(QStringLiteral("flug.igc"), igcText(points, datum, gnssOnly)));
  }
  std::optional<RunError> errorOf(const std::function<void()>& command) {
    try {
      command();
    } catch (const RunError& e) {
      return e;
    }
    return std::nullopt;
  }
};

// Equal, NaN equal to NaN.
template <class T>
bool sameValues(const std::vector<T>& a, const std::vector<T>& b) {
  return a.size() == b.size() &&
         std::equal(a.begin(), a.end(), b.begin(), [](T x, T y) { return x == y || (std::isnan(x) && std::isnan(y)); });
}

// Everything a failed terrain or map command must leave alone.
struct Ground {
  std::vector<float> terrain;
  QStringList tiles;
  std::vector<int32_t> map;
  std::vector<double> agl;
  int32_t lastPoint;
  QString mapFile;

  explicit Ground(const MainController& c)
      : terrain(c.data.Terrain.height),
        tiles(c.data.TerrainState.tiles),
        map(c.data.GeoMap.texel),
        agl(c.data.HeightAboveGround, c.data.HeightAboveGround + c.data.LastPoint + 1),
        lastPoint(c.data.LastPoint),
        mapFile(c.geoMapFile()) {}
  bool operator==(const Ground& o) const {
    return sameValues(terrain, o.terrain) && tiles == o.tiles && map == o.map && sameValues(agl, o.agl) &&
           lastPoint == o.lastPoint && mapFile == o.mapFile;
  }
};

// The mean colour of each cell's texels that the map covers ($00BBGGRR), -1 where it covers none.
std::vector<int32_t> cellColours(const MapDrape& m) {
  std::vector<int32_t> cells;
  for (int r = 0; r + 1 < m.rows; ++r)
    for (int c = 0; c + 1 < m.columns; ++c) {
      int sum[3] = {0, 0, 0}, n = 0;
      for (int b = 0; b < m.detail; ++b)
        for (int a = 0; a < m.detail; ++a) {
          const int32_t t = m.texel[size_t(r * m.detail + b) * m.texelColumns + size_t(c * m.detail + a)];
          if (t < 0) continue;
          for (int k = 0; k < 3; ++k) sum[k] += (t >> (8 * k)) & 0xFF;
          ++n;
        }
      cells.push_back(n ? sum[0] / n | (sum[1] / n) << 8 | (sum[2] / n) << 16 : -1);
    }
  return cells;
}

}  // namespace

TEST(TerrainCommands, SameMapInThreeFormsGivesTheSameDrape) {
  Program p;
  p.fly(kArdennes);
  std::vector<std::vector<int32_t>> drapes;
  for (const char* name : {"maps/relief.png", "maps/relief-utm32.tif", "maps/relief.mbtiles"}) {
    ASSERT_EQ(p.core.openGeoMap(dataPath(name)), LoadStatus::Loaded) << name;
    ASSERT_FALSE(p.d.GeoMap.empty());
    drapes.push_back(cellColours(p.d.GeoMap));
  }
  EXPECT_EQ(p.core.geoMapFacts().driver, "MBTiles");
  EXPECT_EQ(p.core.geoMapFacts().crs, "EPSG:3857");
  // Compared where all three cover: the channels differ only by resampling.
  int both = 0;
  double difference = 0;
  for (size_t k = 0; k < drapes[0].size(); ++k) {
    if (drapes[0][k] < 0 || drapes[1][k] < 0 || drapes[2][k] < 0) continue;
    ++both;
    for (int form : {1, 2})
      for (int shift : {0, 8, 16})
        difference += std::abs(((drapes[0][k] >> shift) & 0xFF) - ((drapes[form][k] >> shift) & 0xFF));
  }
  EXPECT_GT(both, int(drapes[0].size() * 9 / 10));
  EXPECT_LT(difference / (both * 6), 8.0);
}

TEST(TerrainCommands, TerrainAndMapByNameAndOnTheGrid) {
  Program p;
  p.fly(kArdennes);
  const QString tile = p.dir.filePath("N49E005.hgt.zip");
  QFile::copy(dataPath("dem/N49E005.hgt.zip"), tile);
  EXPECT_EQ(p.core.openByName(tile), LoadStatus::Loaded);
  EXPECT_FALSE(p.d.Terrain.empty());
  EXPECT_TRUE(p.d.HasHeightAboveGround);
  EXPECT_EQ(p.d.TerrainState.tiles, QStringList{"N49E005.hgt.zip"});
  // A picture with a world file beside it is a georeferenced map, laid on the terrain's grid.
  EXPECT_EQ(p.core.openByName(dataPath("maps/relief.png")), LoadStatus::Loaded);
  EXPECT_EQ(p.core.geoMapFacts().crs, "EPSG:4326");
  EXPECT_EQ(p.d.GeoMap.columns, p.d.Terrain.columns);
  EXPECT_EQ(p.d.GeoMap.step, p.d.Terrain.step);
  // "Darstellung → Karte" appears checked for it, and no pixel map is drawn.
  const Layers& layers = p.core.view.layers;
  EXPECT_TRUE(layers.GeoKarteVisible && layers.Karte && !layers.KarteVisible && !layers.pixelMapShown());
  // The same picture without its world file stays a pixel map.
  QFile::copy(dataPath("maps/relief.png"), p.dir.filePath("plain.png"));
  EXPECT_EQ(p.core.openByName(p.dir.filePath("plain.png")), LoadStatus::Loaded);
  EXPECT_TRUE(layers.KarteVisible && layers.pixelMapShown());
  EXPECT_EQ(groundFileKind(dataPath("maps/relief-utm32.tif")), GroundFileKind::Map);
  EXPECT_EQ(groundFileKind(dataPath("maps/relief.mbtiles")), GroundFileKind::Map);

  // Moving the origin frames terrain and map again around the new one.
  const double x0 = p.d.Terrain.x0;
  p.d.RangeStart = 20;
  p.core.moveOriginToSectionStart();
  EXPECT_NE(p.d.Terrain.x0, x0);
  EXPECT_EQ(p.d.GeoMap.x0, p.d.Terrain.x0);
}

// A map whose western half is its no-data (a GeoTIFF) or transparent (a PNG
// with alpha and a world file): clear texels there, for the terrain's tints
// to show through, never black ones.
TEST(TerrainCommands, MapHolesStayClear) {
  Program p;
  p.fly(kArdennes);
  TestRaster map;
  map.width = 160, map.height = 80;
  map.type = GDT_Byte;
  map.gt[0] = 5.80, map.gt[1] = 0.001, map.gt[3] = 49.74, map.gt[5] = -0.001;
  // Red 40, green 80, blue 120 in the east; in the west 0 on every band of the
  // GeoTIFF, the PNG's alpha band only.
  map.bands = 3;
  map.noData = 0;
  map.value = [&map](int band, int x, int) {
    const bool west = x < 80;
    if (band == 4) return west ? 0.0 : 255.0;
    return west && map.bands == 3 ? 0.0 : 40.0 * band;
  };
  const QString geoTiff = writeRaster(p.dir.filePath("halb.tif"), map);
  map.bands = 4;
  map.noData.reset();
  map.system = nullptr;
  const QString png = writeRaster(p.dir.filePath("halb.png"), map, "PNG");
  writeBytes(p.dir.filePath("halb.pgw"), "0.001\n0\n0\n-0.001\n5.8005\n49.7395\n");
  for (const QString& path : {geoTiff, png}) {
    ASSERT_EQ(p.core.openGeoMap(path), LoadStatus::Loaded) << path.toStdString();
    const std::vector<int32_t>& t = p.d.GeoMap.texel;
    constexpr int32_t kColour = 0x00785028;
    EXPECT_GT(std::count(t.begin(), t.end(), kColour), int(t.size() / 10)) << path.toStdString();
    EXPECT_GT(std::count(t.begin(), t.end(), -1), int(t.size() / 10)) << path.toStdString();
    // At most the resampled seam between the halves in other colours.
    EXPECT_LT(std::count_if(t.begin(), t.end(), [](int32_t c) { return c >= 0 && c != kColour; }), int(t.size() / 50))
        << path.toStdString();
  }
}

TEST(TerrainCommands, FolderTilesLoadWithEveryFlightAndMissingOnesAreNamed) {
  Program p;
  QTemporaryDir tiles;
  QFile::copy(dataPath("dem/N49E005.hgt.zip"), tiles.filePath("n49e005.hgt.zip"));
  p.core.setTerrainFolder(tiles.path());
  p.fly(kArdennes);
  EXPECT_EQ(p.d.TerrainState.tiles, QStringList{"n49e005.hgt.zip"});
  EXPECT_TRUE(p.d.HasHeightAboveGround);
  EXPECT_FALSE(p.core.state.statusText.contains("fehlen"));
  // A flight across 6°E reaches a tile the folder lacks.
  p.fly(circleAround(49.70, 6.0, 0.03, 0.05, 900));
  EXPECT_EQ(p.d.TerrainState.missingTiles, QStringList{"N49E006"});
  EXPECT_TRUE(p.core.state.statusText.endsWith("Geländedaten fehlen: N49E006"));
  EXPECT_TRUE(p.core.state.statusText.startsWith(p.core.state.flightFile));
  // Far away from every tile (Denmark): no terrain, nothing stale, the tiles named.
  p.fly(circleAround(55.5, 10.0, 0.03, 0.05, 900));
  EXPECT_TRUE(p.d.Terrain.empty());
  EXPECT_FALSE(p.d.HasHeightAboveGround);
  EXPECT_EQ(p.core.state.statusText, p.core.state.flightFile + " – Geländedaten fehlen: N55E009, N55E010");
  // A tile of the folder that cannot be read is named in the status bar.
  QFile::link(tiles.filePath("N49E006.hgt"), tiles.filePath("N49E006.hgt"));
  p.fly(circleAround(49.70, 6.0, 0.03, 0.05, 900));
  EXPECT_EQ(p.d.TerrainState.tiles, QStringList{"n49e005.hgt.zip"});
  EXPECT_TRUE(
      p.core.state.statusText.endsWith("Geländedaten fehlen: N49E006 – Datei kann nicht geöffnet werden: N49E006.hgt"));
  // Moving the origin says it once, not twice.
  p.d.RangeStart = 10;
  p.core.moveOriginToSectionStart();
  EXPECT_EQ(p.core.state.statusText.count("fehlen"), 1);
}

// Files that are not what they claim: the box's text and name, and nothing
// loaded before lost (terrain, map, heights above ground).
TEST(TerrainCommands, BadInputGivesItsErrorAndKeepsWhatWasLoaded) {
  Program p;
  p.fly(kArdennes);
  QFile::copy(dataPath("dem/N49E005.hgt.zip"), p.dir.filePath("N49E005.hgt.zip"));
  p.core.openTerrainFiles({p.dir.filePath("N49E005.hgt.zip")});
  p.core.openGeoMap(dataPath("maps/relief.png"));
  const Ground before(p.core);
  ASSERT_FALSE(before.terrain.empty());
  ASSERT_FALSE(before.map.empty());
  QTemporaryDir bad;
  for (const BadGroundFile& c : writeBadGroundFiles(bad.path())) {
    const auto error = p.errorOf([&] {
      if (c.terrain)
        p.core.openTerrainFiles({c.path});
      else
        p.core.openGeoMap(c.path);
    });
    ASSERT_TRUE(error) << c.path.toStdString();
    EXPECT_EQ(error->text().toStdString(), c.message) << c.path.toStdString();
    EXPECT_EQ(error->detail(), "Datei " + QFileInfo(c.path).fileName());
    EXPECT_TRUE(Ground(p.core) == before) << c.path.toStdString();
  }
}

// An archive rewritten in place with the same size and time stamp, its
// signatures broken: GDAL still knows its old directory, the load must not crash.
TEST(TerrainCommands, ArchiveRewrittenInPlaceIsRefused) {
  Program p;
  p.fly(kArdennes);
  const QString tile = p.dir.filePath("N49E005.hgt.zip");
  QFile::copy(dataPath("dem/N49E005.hgt.zip"), tile);
  p.core.openTerrainFiles({tile});
  const Ground before(p.core);
  QFile f(tile);
  ASSERT_TRUE(f.open(QIODevice::ReadWrite));
  const QDateTime stamp = f.fileTime(QFileDevice::FileModificationTime);
  QByteArray bytes = f.readAll();
  bytes[3] = 5;                                                   // local header PK\3\4
  bytes[bytes.lastIndexOf(QByteArray("PK\x05\x06", 4)) + 3] = 7;  // end of the directory PK\5\6
  f.seek(0);
  f.write(bytes);
  f.setFileTime(stamp, QFileDevice::FileModificationTime);
  f.close();
  const auto error = p.errorOf([&] { p.core.openTerrainFiles({tile}); });
  ASSERT_TRUE(error);
  EXPECT_EQ(error->text(), "Ungültige Geländedatei");
  EXPECT_TRUE(Ground(p.core) == before);
}

// An archive of two tiles loaded after the tiles themselves: each tile's
// heights from the member of its name, nothing lost, nothing missing.
TEST(TerrainCommands, EachTileOfAnArchiveByItsOwnName) {
  Program p;
  QTemporaryDir scratch;
  const Surface plane = [](double lat, double lon) { return 300 + 100 * (lat - 49) + 50 * (lon - 5); };
  const QByteArray w = readBytes(writeTile(scratch.path(), 49, 5, plane));
  const QByteArray e = readBytes(writeTile(scratch.path(), 49, 6, plane));
  const QString westZip = writeZip(p.dir.filePath("N49E005.hgt.zip"), {{"N49E005.hgt", w}});
  const QString eastZip = writeZip(p.dir.filePath("N49E006.hgt.zip"), {{"N49E006.hgt", e}});
  p.fly(circleAround(49.70, 6.0, 0.03, 0.05, 900));
  p.core.openTerrainFiles({westZip, eastZip});
  const Ground before(p.core);
  for (int32_t i = 0; i <= p.d.LastPoint; ++i) {
    const FlightPoint& pt = p.d.FlightPath[i];
    ASSERT_NEAR(p.d.HeightAboveGround[i], pt.Altitude - tileHeight(plane, pt.Lat, pt.Lon), 0.5);
  }
  QTemporaryDir other;
  const QString both = writeZip(other.filePath("N49E006.hgt.zip"), {{"N49E005.hgt", w}, {"N49E006.hgt", e}});
  p.core.openTerrainFiles({both});
  EXPECT_TRUE(sameValues(Ground(p.core).agl, before.agl));
  EXPECT_EQ(p.d.TerrainState.tiles, QStringList({"N49E006.hgt.zip/N49E005.hgt", "N49E006.hgt.zip"}));
  EXPECT_TRUE(p.d.TerrainState.missingTiles.isEmpty());
  EXPECT_FALSE(p.core.state.statusText.contains("fehlen"));
}

// One altitude for the heights above ground and every export: the GNSS
// altitude (not the pressure altitude, 113 m off here), brought to the geoid
// where the file declares ellipsoid heights. The CSV's two heights subtract
// to the ground of an independent reading of the tile.
TEST(TerrainCommands, HeightsAboveGroundFromTheSeaLevelAltitudeTheExportsWrite) {
  const Surface plane = [](double lat, double lon) { return 300 + 100 * (lat - 49) + 50 * (lon - 5); };
  double seaLevelGeo = 0, seaLevelEll = 0;
  for (const char* datum : {"GEO", "ELL"}) {
    Program p;
    p.core.openTerrainFiles({writeTile(p.dir.path(), 49, 5, plane)});
    p.core.openIgcFile(p.file("flug.igc", igcText(kArdennes, datum, false, 113)));
    ASSERT_EQ(p.core.state.hLabel, "Höhe: Luftdruck");
    const QList<QByteArray> lines = csvBytes(p.d).split('\n');
    ASSERT_EQ(lines.size(), p.d.LastPoint + 3);
    for (int32_t i = 0; i <= p.d.LastPoint; ++i) {
      const QList<QByteArray> f = lines[i + 1].trimmed().split(';');
      const double seaLevel = f[f.size() - 2].toDouble(), aboveGround = f.last().toDouble();
      const FlightPoint& pt = p.d.FlightPath[i];
      ASSERT_NEAR(seaLevel - aboveGround, tileHeight(plane, pt.Lat, pt.Lon), 1.0) << datum << " " << i;
      ASSERT_NEAR(p.d.HeightAboveGround[i], aboveGround, 0.05);
    }
    (std::string(datum) == "GEO" ? seaLevelGeo : seaLevelEll) = lines[1].split(';')[4].toDouble();
  }
  // EGM96 lies about 47 m above the ellipsoid in Luxembourg.
  EXPECT_NEAR(seaLevelGeo - seaLevelEll, 47.5, 2.0);
}

TEST(TerrainCommands, HeightAboveGroundInInfoCsvAndChart) {
  Program p;
  p.fly(kArdennes);
  EXPECT_TRUE(p.core.panels.minHeightAboveGround.isEmpty());
  EXPECT_FALSE(csvBytes(p.d).contains("Grund"));
  QFile::copy(dataPath("dem/N49E005.hgt.zip"), p.dir.filePath("N49E005.hgt.zip"));
  p.core.openTerrainFiles({p.dir.filePath("N49E005.hgt.zip")});
  const double* agl = p.d.HeightAboveGround;
  const double lowest = *std::min_element(agl, agl + p.d.LastPoint + 1);
  const double highest = *std::max_element(agl, agl + p.d.LastPoint + 1);
  EXPECT_EQ(p.core.panels.minHeightAboveGround, QString::number(std::lround(lowest)) + " m");

  const QList<QByteArray> lines = csvBytes(p.d).split('\n');
  EXPECT_EQ(lines[0].split(';').last().trimmed(), "Höhe über Grund [m]");  // the last column
  EXPECT_NEAR(lines[1].split(';').last().toDouble(), agl[0], 0.05);

  // "individuell": the curve alone sets the range, from 0 up.
  ChartView chart(p.d, p.core.chart);
  chart.controls.scaleIndex = 1;
  chart.controls.gpsTicked[kGpsAGL] = true;
  chart.open();
  EXPECT_NEAR(p.core.chart.ChartMax, highest, 1e-9);
  EXPECT_NEAR(p.core.chart.ChartMin, std::min(0.0, lowest), 1e-9);
}

// Another altitude source ("Optionen" → barometric heights) moves each height above ground with its point.
TEST(TerrainCommands, HeightsAboveGroundFollowTheAltitudeSource) {
  Program p;
  ASSERT_TRUE(Ladeparameter(p.d.ChannelParams, sourcePath("examples/default.par")));
  p.core.openLoggerFile(sourcePath("examples/ng-flug.csv"));
  ASSERT_TRUE(p.d.LoggerNG);
  const FlightPoint& start = p.d.FlightPath[0];
  const Surface plane = [](double lat, double lon) { return 300 + 200 * (lat - 48) + 100 * (lon - 11); };
  p.core.openTerrainFiles({writeTile(p.dir.path(), int(std::floor(start.Lat)), int(std::floor(start.Lon)), plane)});
  ASSERT_TRUE(p.d.HasHeightAboveGround);
  std::vector<double> ground;
  for (int32_t i = 0; i <= p.d.LastPoint; ++i) ground.push_back(p.d.FlightPath[i].Altitude - p.d.HeightAboveGround[i]);

  QString hLabel = p.core.state.hLabel;
  OptionsController options({p.d, p.core.view, p.core.panels, hLabel});
  options.open();
  options.baroAltitudeTicked(!p.d.UseBaroAltitude);
  ASSERT_NE(hLabel, p.core.state.hLabel);
  for (int32_t i = 0; i <= p.d.LastPoint; ++i)
    ASSERT_NEAR(p.d.FlightPath[i].Altitude - p.d.HeightAboveGround[i], ground[size_t(i)], 1e-6) << i;
}

// "Überhöhung": a hill under the eye, lower than the eye at 1×, rises above
// it at 2× and 5×; the eye stays above it. A climbing flight in the picture
// would leave it at 5×; it stays in the picture.
TEST(TerrainCommands, ExaggerationKeepsTheEyeAboveTheGroundAndTheFlightInView) {
  Program p;
  const std::array<double, 2> eye = underTheEye(cameraBehindOrigin(), 49.75, 5.595);
  p.core.openTerrainFiles({writeTile(p.dir.path(), 49, 5, hillAt(eye[0], eye[1]))});
  p.fly(circleAround(49.75, 5.55, 0.03, 0.045, 420));  // starts at its east end, (49.75, 5.595)
  View3D& view = p.core.view;
  const int w = view.BackBuffer.width(), h = view.BackBuffer.height();
  view.setCamera(cameraBehindOrigin());
  ASSERT_GT(eyeAboveGround(p.d, view.layers, view.cam), kEyeClearance);
  setExaggeration(view, 2);  // raised just enough
  EXPECT_NEAR(eyeAboveGround(p.d, view.layers, view.cam), kEyeClearance + 2, 2);
  for (double factor : {5.0, 3.0, 1.0, 5.0}) {
    setExaggeration(view, factor);
    EXPECT_GE(eyeAboveGround(p.d, view.layers, view.cam), kEyeClearance) << factor;
    EXPECT_EQ(view.cam, view.cam.settled());
  }
  setExaggeration(view, 1);

  std::vector<std::array<double, 3>> climb = circleAround(49.75, 5.55, 0.002, 0.003, 420);
  for (size_t i = 0; i < climb.size(); ++i) climb[i][2] += 10.0 * double(i);
  p.fly(climb);
  ASSERT_TRUE(flightInPicture(p.d, view.cam, w, h));
  p.d.Exaggeration = 5;
  ASSERT_FALSE(flightInPicture(p.d, view.cam, w, h));  // the camera as it stood would lose it
  p.d.Exaggeration = 1;
  setExaggeration(view, 5);
  EXPECT_TRUE(flightInPicture(p.d, view.cam, w, h));
}

}  // namespace terrain_commands_test
