// Elevation files onto the terrain grid, and heights above ground, checked
// against tiles with known surfaces and an independent bilinear reading.
#include "common/SyntheticTerrain.h"
#include "common/TestPaths.h"
#include "import/TerrainLoader.h"
#include "model/RunError.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

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

TEST(TerrainVoids, FilledFromTheirNeighboursInwards) {
  // A plane 10 × 10 with a 4 × 4 hole: filled without leaving the plane's range.
  const int n = 10;
  std::vector<float> h(n * n);
  for (int r = 0; r < n; ++r)
    for (int c = 0; c < n; ++c) h[r * n + c] = (r >= 3 && r < 7 && c >= 3 && c < 7) ? NAN : float(10 * c + r);
  EXPECT_EQ(fillVoids(h, n, n), 16);
  for (int r = 3; r < 7; ++r)
    for (int c = 3; c < 7; ++c) {
      ASSERT_TRUE(hasHeight(h[r * n + c]));
      EXPECT_GE(h[r * n + c], 20 + 2);
      EXPECT_LE(h[r * n + c], 70 + 7);
    }
  std::vector<float> empty(9, NAN);
  EXPECT_EQ(fillVoids(empty, 3, 3), 0);
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

TEST(TerrainGrid, VoidsUnderTheFlightAreFilled) {
  QTemporaryDir dir;
  // A square of 0.05° (61 × 61 points) without data in the middle of the flight's area.
  const Surface holed = [](double lat, double lon) {
    return std::abs(lat - 47.5) < 0.025 && std::abs(lon - 11.5) < 0.025 ? NAN : kPlane(lat, lon);
  };
  const QString tile = writeTile(dir.path(), 47, 11, holed);
  FlightDataPtr d = flightThrough(circleAround(47.5, 11.5, 0.04, 0.06, 1500));
  TerrainBuild b = buildTerrain(*d, {tile});
  EXPECT_EQ(b.info.filledVoids, voidsOf(holed, 47, 11));
  commitTerrain(*d, std::move(b));
  // No hole and no spike: every node lies between the plane's heights around it.
  for (float h : d->Terrain.height) {
    ASSERT_TRUE(hasHeight(h));
    EXPECT_GT(h, kPlane(47.45, 11.42) - 1);
    EXPECT_LT(h, kPlane(47.55, 11.58) + 1);
  }
  for (int32_t i = 0; i <= d->LastPoint; ++i) EXPECT_TRUE(std::isfinite(d->HeightAboveGround[i]));
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

TEST(TerrainFiles, ZippedTileAndFolderLookup) {
  QTemporaryDir dir;
  QFile::copy(dataPath("dem/N49E005.hgt.zip"), dir.filePath("n49e005.hgt.zip"));
  writeTile(dir.path(), 49, 6, kPlane, kTile3, "n49e006.HGT");
  writeTile(dir.path(), 48, 5, kPlane, kTile3, "N48E005.hgt.txt");  // not a tile's name
  const QStringList found = tilesInFolder(dir.path(), {5.5, 48.5, 6.5, 49.5});
  ASSERT_EQ(found.size(), 2);
  EXPECT_TRUE(found[0].endsWith("n49e005.hgt.zip"));
  EXPECT_TRUE(found[1].endsWith("n49e006.HGT"));

  // Real elevation of the Luxembourg Ardennes: 3″, mostly void west of 5.74°E.
  FlightDataPtr d = flightThrough(circleAround(49.70, 5.88, 0.035, 0.05, 900));
  TerrainBuild b = buildTerrain(*d, {found[0]});
  EXPECT_EQ(b.info.tiles, QStringList{"n49e005.hgt.zip"});
  EXPECT_TRUE(b.info.missingTiles.isEmpty());
  EXPECT_GT(b.info.filledVoids, 0);
  EXPECT_GT(b.grid.minHeight, 140);
  EXPECT_LT(b.grid.maxHeight, 600);
  EXPECT_LT(b.grid.minHeight + 50, b.grid.maxHeight);
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
