// Elevation files onto the terrain grid, and heights above ground, checked
// against tiles with known surfaces and an independent bilinear reading.
#include "common/SyntheticTerrain.h"
#include "common/TestRasters.h"
#include "common/TestPaths.h"
#include "import/TerrainLoader.h"
#include "model/RunError.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace terrain_loader_test {

using namespace trelvano;

namespace {

// Every point's height above ground against the tiles' own bilinear reading.
void expectHeightsAboveGround(const FlightData& d, const Surface& f) {
  ASSERT_TRUE(d.HasHeightAboveGround);
  for (int32_t i = 0; i <= d.LastPoint; ++i) {
    const FlightPoint& p = d.FlightPath[i];
    EXPECT_NEAR(d.HeightAboveGround[i], p.Altitude - tileHeight(f, p.Lat, p.Lon), 1.0) << "point " << i;
  }
}

// Every grid node with a height against the surface at its position.
void expectGridOn(const FlightData& d, const Surface& f, double tolerance) {
  std::vector<double> lon, lat;
  nodePositions(d.Terrain, flightOrigin(d), lon, lat);
  for (size_t k = 0; k < lon.size(); ++k)
    if (hasHeight(d.Terrain.height[k])) {
      ASSERT_NEAR(d.Terrain.height[k], tileHeight(f, lat[k], lon[k]), tolerance);
    }
}

RunError errorOf(const QString& path, const FlightData& d) {
  try {
    buildTerrain(d, {path});
  } catch (const RunError& e) {
    return e;
  }
  ADD_FAILURE() << "no error for " << path.toStdString();
  return RunError::range();
}

const Surface kPlane = [](double lat, double lon) { return 400 + 900 * (lat - 47) + 300 * (lon - 11); };

}  // namespace

TEST(TerrainNames, TilesByTheirSouthWestCorner) {
  EXPECT_EQ(tileName(47, 11), "N47E011");
  EXPECT_EQ(tileName(-9, -36), "S09W036");
  EXPECT_EQ(tileName(0, -1), "N00W001");
  EXPECT_EQ(tileName(-1, 0), "S01E000");
  EXPECT_EQ(tileNamesUnder({-0.5, -0.2, 0.5, 0.3}), QStringList({"S01W001", "S01E000", "N00W001", "N00E000"}));
  // A box ending on a whole degree does not reach into the next tile.
  EXPECT_EQ(tileNamesUnder({11.2, 47.0, 12.0, 47.5}), QStringList({"N47E011"}));
  EXPECT_TRUE(isElevationFileName("a/N47E011.HGT.ZIP"));
  EXPECT_FALSE(isElevationFileName("a/N47E011.zip"));
}

// A small hole is filled from its edge inwards without leaving the plane's
// range; a large one stays a hole, as does a grid without a value.
TEST(TerrainVoids, OnlySmallHolesAreFilled) {
  const int n = 20;
  std::vector<float> h(n * n);
  const auto small = [](int c, int r) { return r >= 3 && r < 6 && c >= 3 && c < 7; };     // 4 × 3
  const auto large = [](int c, int r) { return r >= 10 && r < 15 && c >= 8 && c < 18; };  // 10 × 5
  for (int r = 0; r < n; ++r)
    for (int c = 0; c < n; ++c) h[r * n + c] = small(c, r) || large(c, r) ? NAN : float(10 * c + r);
  EXPECT_EQ(fillSmallVoids(h, n, n), 12);
  for (int r = 0; r < n; ++r)
    for (int c = 0; c < n; ++c) {
      if (small(c, r)) {
        EXPECT_GE(h[r * n + c], 20 + 2);
        EXPECT_LE(h[r * n + c], 70 + 6);
      }
      EXPECT_EQ(hasHeight(h[r * n + c]), !large(c, r));
    }
  std::vector<float> empty(9, NAN);
  EXPECT_EQ(fillSmallVoids(empty, 3, 3), 0);
  EXPECT_TRUE(std::isnan(empty[4]));
}

TEST(TerrainGrid, PlaneTileUnderAFlight) {
  QTemporaryDir dir;
  const QString tile = writeTile(dir.path(), 47, 11, kPlane);
  FlightDataPtr d = flightThrough(circleAround(47.5, 11.5, 0.05, 0.08, 1500));
  const TerrainBuild b = buildTerrain(*d, {tile});
  EXPECT_TRUE(b.nearFlight);
  EXPECT_EQ(b.info.tiles, QStringList{"N47E011.hgt"});
  EXPECT_TRUE(b.info.missingTiles.isEmpty());
  EXPECT_EQ(b.info.filledVoids, 0);
  // Over the flight plus a tenth on each side, never finer than the data's 3″ (≈ 90 m).
  const GroundGrid& g = b.grid;
  EXPECT_LE(std::max(g.columns, g.rows), kMaxGridNodes);
  EXPECT_GE(g.step, 3.0 / 3600 * kMetresPerDegree - 1e-9);
  double xMin = 1e9, xMax = -1e9, yMin = 1e9, yMax = -1e9;
  for (int32_t i = 0; i <= d->LastPoint; ++i) {
    xMin = std::min(xMin, d->FlightPath[i].X), xMax = std::max(xMax, d->FlightPath[i].X);
    yMin = std::min(yMin, d->FlightPath[i].Y), yMax = std::max(yMax, d->FlightPath[i].Y);
  }
  EXPECT_GE(g.x0, xMax + 0.1 * (xMax - xMin) - 1);
  EXPECT_LE(g.nodeX(g.columns - 1), xMin - 0.1 * (xMax - xMin) + 1);
  EXPECT_LE(g.y0, yMin - 0.1 * (yMax - yMin) + 1);
  EXPECT_GE(g.nodeY(g.rows - 1), yMax + 0.1 * (yMax - yMin) - 1);

  TerrainBuild copy = b;
  commitTerrain(*d, std::move(copy));
  expectHeightsAboveGround(*d, kPlane);
  expectGridOn(*d, kPlane, 1.0);
  EXPECT_NEAR(d->Terrain.minHeight, kPlane(47.5 - 0.06, 11.5 - 0.1), 40);
}

TEST(TerrainGrid, ConeAcrossFourTilesSouthAndWest) {
  QTemporaryDir dir;
  const Surface cone = [](double lat, double lon) { return 1200 - 6000 * std::hypot(lat, lon); };
  QStringList tiles;
  for (int south : {-1, 0})
    for (int west : {-1, 0}) tiles << writeTile(dir.path(), south, west, cone);
  FlightDataPtr d = flightThrough(circleAround(0.02, -0.01, 0.1, 0.12, 2000, 90));
  TerrainBuild b = buildTerrain(*d, tiles);
  EXPECT_EQ(b.info.tiles.size(), 4);
  EXPECT_TRUE(b.info.missingTiles.isEmpty());
  commitTerrain(*d, std::move(b));
  expectHeightsAboveGround(*d, cone);
  // The summit lies inside the circle: the grid reaches close to it.
  EXPECT_NEAR(d->Terrain.maxHeight, 1200, 30);
  for (float h : d->Terrain.height) ASSERT_TRUE(hasHeight(h));
}

// Under a flight across a large hole and a post without data: the grid keeps
// the hole and fills the post; no point gets a height above ground over
// either, every other point its own.
TEST(TerrainGrid, NoGroundIsMadeUpOverVoids) {
  QTemporaryDir dir;
  const double post = 1.0 / (kTile3 - 1);
  const auto inHole = [](double lat, double lon) { return std::abs(lat - 47.5) < 0.02 && std::abs(lon - 11.5) < 0.02; };
  const auto lonePost = [post](double lat, double lon) {
    return std::abs(lat - (47 + 480 * post)) < post / 4 && std::abs(lon - (11 + 660 * post)) < post / 4;
  };
  const Surface holed = [&](double lat, double lon) {
    return inHole(lat, lon) || lonePost(lat, lon) ? NAN : kPlane(lat, lon);
  };
  const QString tile = writeTile(dir.path(), 47, 11, holed);
  // Points across the hole and right beside the lone void post.
  std::vector<std::array<double, 3>> points = circleAround(47.5, 11.5, 0.04, 0.06, 1500);
  for (double u = -0.05; u <= 0.05; u += 0.002) points.push_back({47.5, 11.5 + u, 1500});
  points.push_back({47 + 480.3 * post, 11 + 660.5 * post, 1500});
  FlightDataPtr d = flightThrough(points);
  TerrainBuild b = buildTerrain(*d, {tile});
  EXPECT_EQ(b.info.filledVoids, 1);
  commitTerrain(*d, std::move(b));
  int overVoids = 0;
  for (int32_t i = 0; i <= d->LastPoint; ++i) {
    const FlightPoint& p = d->FlightPath[i];
    const double reading = tileHeight(holed, p.Lat, p.Lon);
    if (std::isnan(reading)) {
      ++overVoids;
      EXPECT_TRUE(std::isnan(d->HeightAboveGround[i])) << i;
    } else {
      EXPECT_NEAR(d->HeightAboveGround[i], p.Altitude - reading, 1.0) << i;
    }
  }
  EXPECT_GT(overVoids, 10);
  // The grid: a hole where the file has one, else the plane.
  std::vector<double> lon, lat;
  nodePositions(d->Terrain, flightOrigin(*d), lon, lat);
  int holes = 0;
  for (size_t k = 0; k < lon.size(); ++k) {
    if (std::abs(lat[k] - 47.5) < 0.015 && std::abs(lon[k] - 11.5) < 0.015) {
      EXPECT_FALSE(hasHeight(d->Terrain.height[k]));
      ++holes;
    } else if (!inHole(lat[k], lon[k])) {
      EXPECT_NEAR(d->Terrain.height[k], kPlane(lat[k], lon[k]), 1.0);
    }
  }
  EXPECT_GT(holes, 50);
}

TEST(TerrainGrid, TileThatIsNotThereIsNamedAndLeftOut) {
  QTemporaryDir dir;
  const QString tile = writeTile(dir.path(), 47, 11, kPlane);
  // Half the flight east of 12°E, where no file covers.
  FlightDataPtr d = flightThrough(circleAround(47.5, 12.0, 0.04, 0.08, 1500));
  TerrainBuild b = buildTerrain(*d, {tile});
  EXPECT_EQ(b.info.missingTiles, QStringList{"N47E012"});
  commitTerrain(*d, std::move(b));
  for (int32_t i = 0; i <= d->LastPoint; ++i) {
    const double lon = d->FlightPath[i].Lon;
    if (lon < 11.999) {
      EXPECT_NEAR(d->HeightAboveGround[i], d->FlightPath[i].Altitude - tileHeight(kPlane, d->FlightPath[i].Lat, lon),
                  1.0);
    }
    if (lon > 12.001) {
      EXPECT_TRUE(std::isnan(d->HeightAboveGround[i]));
    }
  }
  const GroundGrid& g = d->Terrain;
  EXPECT_TRUE(hasHeight(d->Terrain.height[g.index(0, g.rows / 2)]));               // west
  EXPECT_FALSE(hasHeight(d->Terrain.height[g.index(g.columns - 1, g.rows / 2)]));  // east
  expectGridOn(*d, kPlane, 1.0);
}

// Each tile by its own name: in a folder the member of the tile's name (an
// archive may hold others first), and a file of the tile's name that cannot
// be read is named; the real tile's posts under a flight.
TEST(TerrainFiles, FolderTilesByTheirOwnNames) {
  QTemporaryDir dir, scratch;
  QFile::copy(dataPath("dem/N49E005.hgt.zip"), dir.filePath("n49e005.hgt.zip"));
  const auto bytesOf = [&](int south, int west, double height) {
    return readBytes(writeTile(
        scratch.path(), south, west, [height](double, double) { return height; }, 121));
  };
  writeZip(dir.filePath("N49E006.hgt.zip"),
           {{"N49E005.hgt", bytesOf(49, 5, 100)}, {"N49E006.hgt", bytesOf(49, 6, 200)}});
  writeZip(dir.filePath("N48E006.hgt.zip"), {{"N48E005.hgt", bytesOf(48, 5, 300)}});  // not its own tile
  QFile::link(dir.filePath("N48E005.hgt"), dir.filePath("N48E005.hgt"));              // a link to itself
  writeTile(dir.path(), 48, 7, kPlane, kTile3, "N48E007.hgt.txt");                    // not a tile's name
  const FolderTiles found = tilesInFolder(dir.path(), {5.5, 48.5, 7.5, 49.5});
  ASSERT_EQ(found.files.size(), 2);
  EXPECT_TRUE(found.files[0].endsWith("n49e005.hgt.zip/N49E005.hgt"));
  EXPECT_TRUE(found.files[1].endsWith("N49E006.hgt.zip/N49E006.hgt"));
  EXPECT_EQ(rasterDisplayName(found.files[0]), "n49e005.hgt.zip");
  EXPECT_EQ(rasterDisplayName(found.files[1]), "N49E006.hgt.zip");
  EXPECT_EQ(elevationKey(found.files[1]), "N49E006");
  QStringList unusable;
  for (const UnusableTile& u : found.unusable) unusable << u.text();
  EXPECT_EQ(unusable,
            QStringList({"Datei kann nicht geöffnet werden: N48E005.hgt", "Ungültige Geländedatei: N48E006.hgt.zip"}));

  // Real elevation of the Luxembourg Ardennes: 3″, void west of 5.74°E, none filled.
  FlightDataPtr d = flightThrough(circleAround(49.70, 5.88, 0.035, 0.05, 900));
  TerrainBuild b = buildTerrain(*d, {found.files[0]});
  EXPECT_EQ(b.info.tiles, QStringList{"n49e005.hgt.zip"});
  EXPECT_TRUE(b.info.missingTiles.isEmpty());
  EXPECT_GT(b.grid.minHeight, 140);
  EXPECT_LT(b.grid.maxHeight, 600);
  EXPECT_LT(b.grid.minHeight + 50, b.grid.maxHeight);
}

// A DEM in UTM is read on its own posts: each point taken into the file's
// system and read bilinearly there agrees with an independent reading to
// half a metre, where a warped copy would not (posts of rough ground).
TEST(TerrainFiles, ProjectedElevationFromItsOwnPosts) {
  QTemporaryDir dir;
  const double east0 = 278000, north0 = 5518000, post = 90;
  const auto value = [](int x, int y) {
    const double noise = std::sin(x * 12.9898 + y * 78.233) * 43758.5453;
    return 300 + 80 * (noise - std::floor(noise));
  };
  TestRaster dem;
  dem.width = dem.height = 160;
  dem.gt[0] = east0, dem.gt[1] = post, dem.gt[3] = north0, dem.gt[5] = -post;
  dem.system = "EPSG:32632";
  dem.value = [&](int, int x, int y) { return value(x, y); };
  const QString path = writeRaster(dir.filePath("dem-utm32.tif"), dem);
  FlightDataPtr d = flightThrough(circleAround(49.70, 6.05, 0.03, 0.05, 900, 200));
  TerrainBuild b = buildTerrain(*d, {path});
  ASSERT_TRUE(b.nearFlight);
  EXPECT_NEAR(b.grid.step, post, 1e-6);  // never finer than the posts
  OGRSpatialReference wgs84, utm;
  wgs84.SetWellKnownGeogCS("WGS84");
  utm.importFromEPSG(32632);
  wgs84.SetAxisMappingStrategy(OAMS_TRADITIONAL_GIS_ORDER);
  utm.SetAxisMappingStrategy(OAMS_TRADITIONAL_GIS_ORDER);
  std::unique_ptr<OGRCoordinateTransformation> toUtm(OGRCreateCoordinateTransformation(&wgs84, &utm));
  for (int32_t i = 0; i <= d->LastPoint; ++i) {
    double x = d->FlightPath[i].Lon, y = d->FlightPath[i].Lat;
    ASSERT_TRUE(toUtm->Transform(1, &x, &y));
    const double c = (x - east0) / post - 0.5, r = (north0 - y) / post - 0.5;
    const int c0 = int(c), r0 = int(r);
    const double fx = c - c0, fy = r - r0;
    const double reading = (1 - fx) * (1 - fy) * float(value(c0, r0)) + fx * (1 - fy) * float(value(c0 + 1, r0)) +
                           (1 - fx) * fy * float(value(c0, r0 + 1)) + fx * fy * float(value(c0 + 1, r0 + 1));
    ASSERT_NEAR(b.info.groundUnderPoints[size_t(i)], reading, 0.5) << i;
  }
}

TEST(TerrainFiles, WhatIsNoElevationFileIsRefused) {
  QTemporaryDir dir;
  FlightDataPtr d = flightThrough(circleAround(47.5, 11.5, 0.05, 0.08, 1500));
  const QString shortTile = writeBytes(dir.filePath("N47E011.hgt"), QByteArray(1000, '\0'));
  const QString text = writeBytes(dir.filePath("hoehen.tif"), "no elevation here\n");
  for (const QString& path : {shortTile, text, dataPath("maps/relief.png"), dataPath("maps/relief-utm32.tif")}) {
    const RunError e = errorOf(path, *d);
    EXPECT_EQ(e.text(), "Ungültige Geländedatei");
    EXPECT_EQ(e.detail(), "Datei " + QFileInfo(path).fileName());
  }
}

}  // namespace terrain_loader_test
