// "Gelände laden…", "Geländeordner…" and "Georeferenzierte Karte laden…" as
// the window runs them: files by name, the folder with every flight load, the
// same map in three forms, and bad input that must leave everything as it was.
#include "chart/core/ChartView.h"
#include "app/core/FlightExport.h"
#include "app/core/MainController.h"
#include "options/core/OptionsController.h"
#include "import/ParameterFile.h"
#include "common/ScriptedDialogs.h"
#include "common/SyntheticTerrain.h"
#include "common/TestPaths.h"
#include "model/RunError.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <optional>

using namespace trelvano;

namespace {

// IGC text of a flight through (lat, lon, altitude) points; `gnssOnly`
// leaves the pressure altitudes 0, so the GNSS ones stand in.
QByteArray igcText(const std::vector<std::array<double, 3>>& points, const char* datum = "GEO", bool gnssOnly = false) {
  QByteArray text = "AXXX001\r\nHFDTE010124\r\nHFALGALTGPS:" + QByteArray(datum) + "\r\n";
  int t = 36000;
  for (const auto& [lat, lon, alt] : points) {
    const auto field = [](double v, int degreeDigits, char pos, char neg) {
      const double a = std::abs(v);
      const int d = int(a);
      const int thousandths = int(std::lround((a - d) * 60000));
      return QByteArray::number(d).rightJustified(degreeDigits, '0') +
             QByteArray::number(thousandths).rightJustified(5, '0') + (v < 0 ? neg : pos);
    };
    const QByteArray altitude = QByteArray::number(int(std::lround(alt))).rightJustified(5, '0');
    text += "B" + QByteArray::number(t / 3600).rightJustified(2, '0') +
            QByteArray::number(t / 60 % 60).rightJustified(2, '0') + QByteArray::number(t % 60).rightJustified(2, '0') +
            field(lat, 2, 'N', 'S') + field(lon, 3, 'E', 'W') + "A" + (gnssOnly ? QByteArray("00000") : altitude) +
            altitude + "\r\n";
    t += 2;
  }
  return text;
}

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
        map(c.data.GeoMap.colour),
        agl(c.data.HeightAboveGround, c.data.HeightAboveGround + c.data.LastPoint + 1),
        lastPoint(c.data.LastPoint),
        mapFile(c.geoMapFile()) {}
  bool operator==(const Ground& o) const {
    return terrain.size() == o.terrain.size() &&
           std::equal(terrain.begin(), terrain.end(), o.terrain.begin(),
                      [](float a, float b) { return a == b || (std::isnan(a) && std::isnan(b)); }) &&
           tiles == o.tiles && map == o.map && agl == o.agl && lastPoint == o.lastPoint && mapFile == o.mapFile;
  }
};

}  // namespace

TEST(TerrainCommands, SameMapInThreeFormsGivesTheSameDrape) {
  Program p;
  p.fly(kArdennes);
  std::vector<std::vector<int32_t>> drapes;
  for (const char* name : {"maps/relief.png", "maps/relief-utm32.tif", "maps/relief.mbtiles"}) {
    ASSERT_EQ(p.core.openGeoMap(dataPath(name)), LoadStatus::Loaded) << name;
    ASSERT_FALSE(p.d.GeoMap.empty());
    drapes.push_back(p.d.GeoMap.colour);
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
  EXPECT_FALSE(p.core.view.layers.KarteVisible);
  // The same picture without its world file stays a pixel map.
  QFile::copy(dataPath("maps/relief.png"), p.dir.filePath("plain.png"));
  EXPECT_EQ(p.core.openByName(p.dir.filePath("plain.png")), LoadStatus::Loaded);
  EXPECT_TRUE(p.core.view.layers.KarteVisible);
  EXPECT_EQ(groundFileKind(dataPath("maps/relief-utm32.tif")), GroundFileKind::Map);
  EXPECT_EQ(groundFileKind(dataPath("maps/relief.mbtiles")), GroundFileKind::Map);

  // Moving the origin frames terrain and map again around the new one.
  const double x0 = p.d.Terrain.x0;
  p.d.RangeStart = 20;
  p.core.moveOriginToSectionStart();
  EXPECT_NE(p.d.Terrain.x0, x0);
  EXPECT_EQ(p.d.GeoMap.x0, p.d.Terrain.x0);
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
  // Far away from every tile: no terrain, nothing stale from before.
  p.fly(circleAround(47.5, 11.5, 0.03, 0.05, 900));
  EXPECT_TRUE(p.d.Terrain.empty());
  EXPECT_FALSE(p.d.HasHeightAboveGround);
}

TEST(TerrainCommands, BadInputGivesItsErrorAndKeepsWhatWasLoaded) {
  Program p;
  p.fly(kArdennes);
  QFile::copy(dataPath("dem/N49E005.hgt.zip"), p.dir.filePath("N49E005.hgt.zip"));
  p.core.openTerrainFiles({p.dir.filePath("N49E005.hgt.zip")});
  p.core.openGeoMap(dataPath("maps/relief.png"));
  const Ground before(p.core);
  ASSERT_FALSE(before.terrain.empty());
  ASSERT_FALSE(before.map.empty());

  // A valid tile and a valid map far from the flight.
  const QString farTile = writeTile(p.dir.path(), 10, 10, [](double, double) { return 100.0; });
  QFile::copy(dataPath("maps/relief.png"), p.dir.filePath("weit.png"));
  p.file("weit.pgw", "0.001\n0\n0\n-0.001\n10.0\n10.0\n");

  struct Case {
    QString path;
    bool terrain;
    const char* text;
  };
  const Case cases[] = {
      {p.file("N49E006.hgt", QByteArray(5000, '\1')), true, "Ungültige Geländedatei"},
      {p.file("hoehe.tif", "kein GeoTIFF"), true, "Ungültige Geländedatei"},
      {farTile, true, "Karte liegt nicht im Bereich des Fluges"},
      {dataPath("maps/empty.mbtiles"), false, "Ungültige Kartendatei"},
      {dataPath("maps/vector.mbtiles"), false, "Ungültige Kartendatei"},
      {dataPath("maps/no-crs.tif"), false, "Karte ohne Koordinatensystem"},
      {dataPath("maps/metres.png"), false, "Karte ohne Koordinatensystem"},
      {p.dir.filePath("weit.png"), false, "Karte liegt nicht im Bereich des Fluges"},
      {p.dir.filePath("fehlt.hgt"), true, "Datei nicht gefunden"},
  };
  for (const Case& c : cases) {
    const auto error = p.errorOf([&] {
      if (c.terrain)
        p.core.openTerrainFiles({c.path});
      else
        p.core.openGeoMap(c.path);
    });
    ASSERT_TRUE(error) << c.path.toStdString();
    EXPECT_EQ(error->text(), QString::fromUtf8(c.text)) << c.path.toStdString();
    EXPECT_EQ(error->detail(), "Datei " + QFileInfo(c.path).fileName());
    EXPECT_TRUE(Ground(p.core) == before) << c.path.toStdString();
  }
}

TEST(TerrainCommands, EllipsoidalGnssHeightsAreBroughtToTheGeoid) {
  // The same flight, GNSS heights only, declared above the geoid and above the ellipsoid.
  Program geoid, ellipsoid;
  for (Program* p : {&geoid, &ellipsoid}) {
    QFile::copy(dataPath("dem/N49E005.hgt.zip"), p->dir.filePath("N49E005.hgt.zip"));
    p->core.openTerrainFiles({p->dir.filePath("N49E005.hgt.zip")});
  }
  geoid.fly(kArdennes, "GEO", true);
  ellipsoid.fly(kArdennes, "ELL", true);
  ASSERT_TRUE(geoid.d.HasHeightAboveGround && ellipsoid.d.HasHeightAboveGround);
  // EGM96 lies about 47 m above the ellipsoid in Luxembourg.
  const double lowered = geoid.d.HeightAboveGround[0] - ellipsoid.d.HeightAboveGround[0];
  EXPECT_NEAR(lowered, 47.5, 2.0);
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
