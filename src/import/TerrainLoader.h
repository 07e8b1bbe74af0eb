#pragma once
// The ground under a flight: elevation files sampled onto a grid in the
// flight's local frame, and each point's height above that ground, read
// bilinearly from the files' own posts.

#include "import/FlightFrame.h"
#include "import/LocalFrame.h"
#include "import/Raster.h"
#include "model/FlightData.h"
#include "model/Terrain.h"

#include <QString>
#include <QStringList>
#include <span>
#include <vector>

namespace trelvano {

// The ground grid's geometry: the extent of the flight's points in the local
// frame (at least 1000 m on each side) plus 10 % on each side, centred, with
// nodes `minStep` metres apart or more and at most kMaxGridNodes per side.
constexpr int kMaxGridNodes = 512;
GroundGrid groundGridFor(const FlightData& data, double minStep);

// Longitude and latitude (degrees) of every node, row-major as the grid's values.
void nodePositions(const GroundGrid& grid, const FrameOrigin& origin, std::vector<double>& lon,
                   std::vector<double>& lat);

// The box in degrees that holds the grid's nodes.
GeoBox gridBox(const GroundGrid& grid, const FrameOrigin& origin);

// ".hgt" or ".hgt.zip" in any case.
bool isElevationFileName(const QString& path);

// The name of the 1° tile whose south-west corner is (south, west): "N47E011", "S09W036".
QString tileName(int south, int west);
// The tiles a box touches, south to north, west to east.
QStringList tileNamesUnder(const GeoBox& box);
// The tile a file says it is by its name (the member's, inside an archive):
// "N47E011" for ".../n47e011.hgt"; empty for any other name.
QString tileOfName(const QString& path);
// What makes two elevation files the same for the user: their tile, or else
// their name (either case). A file loaded later replaces its namesake.
QString elevationKey(const QString& path);

// The elevation files of `folder` for the tiles under `box`: <tile>.hgt, or
// the member <tile>.hgt of <tile>.hgt.zip, either case. A tile's file that
// cannot be read (no permission, a folder or a link to nowhere of that
// name, an archive without that member) is listed in `unusable`.
struct UnusableTile {
  QString file;    // its name, "N49E006.hgt"
  QString reason;  // the error's text, "Datei kann nicht geöffnet werden"
  QString text() const { return reason + QStringLiteral(": ") + file; }
};
struct FolderTiles {
  QStringList files;   // names GDAL opens
  QStringList onDisk;  // the file each comes from (the archive of a member)
  std::vector<UnusableTile> unusable;
};
FolderTiles tilesInFolder(const QString& folder, const GeoBox& box);

// Gives every void of a columns × rows grid that belongs to a small hole (no
// more than kSmallVoid posts across either way) the mean of its neighbours
// with a value, working inwards from the hole's edge. Larger holes stay NaN:
// no ground is made up where the file has none. Returns the posts filled.
constexpr int kSmallVoid = 4;
int fillSmallVoids(std::vector<float>& height, int columns, int rows);

// Height at a place among a patch's posts (see postPositions), bilinear
// between the four posts around it. With allFour, NaN unless all four have a
// height (a point's ground is never made up); else posts without one leave
// their weight to the others (the picture's edges of holes). NaN outside the
// posts.
double heightAtPost(const ElevationPatch& patch, double column, double row, bool allFour);

// The ground of a flight from elevation files, before it goes into the model.
struct TerrainBuild {
  TerrainGrid grid;
  TerrainInfo info;         // with the ground under each point
  bool nearFlight = false;  // some file reaches under the grid
};

// Reads the user's `files` (earlier ones first where they overlap), then the
// terrain folder's `folderTiles`, for the flight in `data`. A file that is
// no elevation file throws "Ungültige Geländedatei" with "Datei <name>"; a
// folder tile that fails is left out and named in info.unusableTiles.
// Changes nothing in `data`.
TerrainBuild buildTerrain(const FlightData& data, const QStringList& files, const FolderTiles& folderTiles = {});

// Each height above sea level minus the ground under it (NaN where either is).
std::vector<double> heightsAboveGround(std::span<const double> seaLevel, std::span<const double> ground);

// Puts a build into the flight: Terrain, TerrainState, HeightAboveGround
// (from seaLevelAltitudes) and HasHeightAboveGround.
void commitTerrain(FlightData& data, TerrainBuild&& build);

// After the points' altitudes changed (another altitude source): the heights
// above ground again from the new heights above sea level.
void refreshHeightsAboveGround(FlightData& data);

// Takes the terrain and the heights above ground out of the flight.
void clearTerrain(FlightData& data);

}  // namespace trelvano
