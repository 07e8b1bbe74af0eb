#pragma once
// Elevation files and georeferenced maps, read through GDAL. This header is
// the program's only door to GDAL: it names no GDAL type, so the rest of the
// program never includes GDAL's headers. Every function opens
// its file, reads what it needs and closes it again; nothing stays open
// between commands. Failures throw RunError with the German text and
// "Datei <name>"; GDAL's own messages never reach the user.

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <algorithm>
#include <cstdint>
#include <vector>

namespace trelvano {

// A box in degrees of WGS 84 longitude and latitude.
struct GeoBox {
  double west = 0, south = 0, east = 0, north = 0;

  bool empty() const { return !(east > west && north > south); }
  GeoBox intersected(const GeoBox& o) const {
    return {std::max(west, o.west), std::max(south, o.south), std::min(east, o.east), std::min(north, o.north)};
  }
};

// What a raster file is, as far as choosing its command goes.
struct RasterFacts {
  QString driver;  // GDAL's name of the format: "SRTMHGT", "GTiff", "PNG", "MBTiles", …
  int width = 0, height = 0;
  int bands = 0;
  bool palette = false;  // band 1 has a colour table
  bool numeric = false;  // band 1 holds 16- or 32-bit integers or floats (elevation may)
  bool hasCrs = false;   // a coordinate system, from the file or a .prj beside it
  bool hasGeoTransform = false;
};

// Describes `path` without reading its pixels; false when GDAL cannot open it
// as a raster. For choosing the command of a file named on the command line.
bool describeRaster(const QString& path, RasterFacts& facts);

// The heights a file may hold, metres above sea level; anything else
// (besides its voids) makes it no elevation file.
constexpr double kLowestHeight = -500;
constexpr double kHighestHeight = 9000;

// Where a one-band elevation file has data and how fine.
struct ElevationFacts {
  GeoBox bounds;       // degrees, the part of the Earth between its outermost posts (a tile: its square degree)
  double spacing = 0;  // metres between neighbouring posts (degrees count 108,000 m, as the local frame)
};

// Opens an elevation file (.hgt, a member of a .hgt.zip, one-band GeoTIFF of
// integers or floats with a coordinate system) and reads where it lies.
// Throws "Ungültige Geländedatei" with "Datei <name>" for anything else.
ElevationFacts elevationFacts(const QString& path);
// Checks a sample of the heights over the whole file as well: "Ungültige
// Geländedatei" also for heights outside kLowestHeight … kHighestHeight
// (voids aside) or no height at all.
void checkElevationFile(const QString& path);

// The elevation files a file chosen by the user holds: a zip archive gives
// each .hgt (or .tif) inside it as a GDAL name of its own
// ("/vsizip/…/N49E005.hgt"), anything else is itself. Throws
// "Ungültige Geländedatei" for an archive without one.
QStringList elevationMembers(const QString& path);

// How a file or member is named to the user: "N49E005.hgt", "N49E005.hgt.zip"
// for the tile of the same name in its archive, "N49E006.hgt.zip/N49E005.hgt"
// for another one.
QString rasterDisplayName(const QString& path);

// The posts of an elevation file around a box, in the file's own grid and
// system. Post (c, r) lies at (g[0] + c g[1] + r g[2], g[3] + c g[4] + r g[5])
// in the file's system; voids (−32768, the file's no-data, NaN) are NaN.
struct ElevationPatch {
  int columns = 0, rows = 0;
  double g[6] = {};
  QByteArray system;          // the file's coordinate system as WKT; empty: WGS 84 degrees
  std::vector<float> height;  // metres above sea level, row-major, NaN = void
};

// Reads the posts of `path` that cover `box` (one more on each side for
// bilinear reading between them), at the file's own spacing unless that
// would be more than 16 million posts. Empty patch when the file does not
// reach into the box. Throws as checkElevationFile does for a height out of
// range among the posts read, or for a file of nothing but voids.
ElevationPatch readElevation(const QString& path, const GeoBox& box);

// Where n points given in degrees lie among a patch's posts: fractional
// column and row (post (c, r) at (c, r)); NaN where a point has no place in
// the file's system.
void postPositions(const ElevationPatch& patch, const double* lon, const double* lat, size_t n, double* column,
                   double* row);

// A world file lies beside the picture: <name>.pgw for <name>.png (first
// and last letter of the suffix and "w"), <name>.pngw, or <name>.wld, in either case.
bool hasWorldFile(const QString& path);

// A georeferenced map as the dump reports it.
struct MapFacts {
  QString driver;  // "GTiff", "PNG", "MBTiles", …
  QString crs;     // "EPSG:32632", or the WKT when no EPSG code fits
  GeoBox bounds;   // degrees (WGS 84), the part of the map that lies on the Earth
};

// A map laid over the cells of a grid: `detail` × `detail` texels per
// cell, as fine as the map is there (within a budget of texels). Texel
// (tc, tr) lies in cell (tc / detail, tr / detail), at ((tc % detail + ½) /
// detail, (tr % detail + ½) / detail) of the way between the cell's nodes.
struct MapTexture {
  int detail = 1;
  int columns = 0, rows = 0;    // (grid columns − 1) × detail, (grid rows − 1) × detail
  std::vector<int32_t> colour;  // row-major like the grid, $00BBGGRR, -1 where the map does not cover or is clear
};
// At most this many texels, whatever the map's resolution.
constexpr int64_t kMaxMapTexels = int64_t(1) << 22;
constexpr int kMaxMapDetail = 8;

// The colours of a map over a grid of `columns` × `rows` nodes whose
// positions (degrees, row-major) are `lon` and `lat`. The map is read once,
// over the part the grid needs, at about the texels' resolution (zoom levels
// and overviews are used when the file has them), so a huge picture costs
// little memory. Throws "Ungültige Kartendatei" (not a raster map GDAL
// reads, a world file whose numbers place no picture, a map of nothing but
// no-data, an empty or vector MBTiles file), "Karte ohne Koordinatensystem"
// (no system in the file, a .prj that cannot be read, no .prj and a world
// file in metres), each with "Datei <name>".
MapFacts sampleMap(const QString& path, const std::vector<double>& lon, const std::vector<double>& lat, int columns,
                   int rows, MapTexture& texture);

// Heights above the WGS 84 ellipsoid (a GNSS receiver's) to heights above the
// EGM96 geoid, in place, through PROJ and its geoid grid. False (nothing
// changed) when the grid is not installed.
bool ellipsoidToGeoid(const double* lat, const double* lon, double* height, int n);

// The last raw message GDAL gave, for a log; never shown in the window.
QString lastRasterMessage();

}  // namespace trelvano
