#pragma once
// The ground under a flight: elevation files sampled onto a grid in the
// flight's local frame, and each point's height above that ground, read
// bilinearly from the files' own points.

#include "import/FlightFrame.h"
#include "import/LocalFrame.h"
#include "import/Raster.h"
#include "model/FlightData.h"
#include "model/Terrain.h"

#include <QString>
#include <QStringList>
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
// The elevation files of `folder` for the tiles under `box`: <tile>.hgt or
// <tile>.hgt.zip, either case (a folder that cannot be read has none).
QStringList tilesInFolder(const QString& folder, const GeoBox& box);

// Gives every NaN of a columns × rows grid the mean of its neighbours that
// have a value (the eight around it), working inwards from the data, so a
// void shows no hole or spike. Returns the number of points filled; a grid
// without a single value stays as it is.
int fillVoids(std::vector<float>& height, int columns, int rows);

// Height at a position (degrees), bilinear between the patch's four points
// around it; points that are NaN leave the weight to the others. NaN outside
// the patch's coverage or where all four are NaN.
double heightAt(const ElevationPatch& patch, double lon, double lat);

// The ground of a flight from elevation files, before it goes into the model.
struct TerrainBuild {
  TerrainGrid grid;
  TerrainInfo info;
  std::vector<double> ground;  // metres above sea level under each point 0 … LastPoint, NaN = no file covers
  bool nearFlight = false;     // some file reaches under the grid
};

// Reads `files` (earlier ones first where they overlap) for the flight in
// `data`. Throws "Ungültige Geländedatei" with "Datei <name>" for a file that
// is no elevation file; changes nothing in `data`.
TerrainBuild buildTerrain(const FlightData& data, const QStringList& files);

// Puts a build into the flight: Terrain, TerrainState, HeightAboveGround
// (altitude minus ground; `altitudes` NaN-free heights above sea level per
// point, or the points' own Altitude when null) and HasHeightAboveGround.
void commitTerrain(FlightData& data, TerrainBuild&& build, const double* altitudes = nullptr);

// After the points' altitudes changed (another altitude source): each height
// above ground moves with its point's altitude, from `before` (the altitudes
// of points 0 … LastPoint as they were).
void followAltitudes(FlightData& data, const std::vector<double>& before);

// Takes the terrain and the heights above ground out of the flight.
void clearTerrain(FlightData& data);

}  // namespace trelvano
