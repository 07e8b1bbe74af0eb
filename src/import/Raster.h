#pragma once
// Elevation files and georeferenced maps, read through GDAL. This header is
// the program's only door to GDAL: it names no GDAL type, so the rest of the
// program (and its tests) never include GDAL's headers. Every function opens
// its file, reads what it needs and closes it again; nothing stays open
// between commands. Failures throw RunError with the German text and
// "Datei <name>"; GDAL's own messages never reach the user.

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

// Where a one-band elevation file has data and how fine.
struct ElevationFacts {
  GeoBox bounds;       // degrees, between its outermost points (a tile: its square degree)
  double spacing = 0;  // degrees of latitude between neighbouring points
};

// Opens an elevation file (.hgt, .hgt.zip, one-band GeoTIFF of integers or
// floats with a coordinate system). Anything else throws
// "Ungültige Geländedatei" with "Datei <name>".
ElevationFacts elevationFacts(const QString& path);

// The points of an elevation file over a box, at the file's own spacing.
// Point (c, r) lies at longitude west + c × dLon, latitude north − r × dLat
// (row 0 is the northern one). Void points (−32768, the file's no-data) are NaN.
struct ElevationPatch {
  int columns = 0, rows = 0;
  double west = 0, north = 0;  // degrees, point (0, 0)
  double dLon = 0, dLat = 0;   // degrees, both positive
  GeoBox coverage;             // the part of `box` the file covers
  std::vector<float> height;   // metres above sea level, row-major, NaN = void
};

// Reads the points of `path` that cover `box` (one more on each side for
// bilinear reading between them). Empty patch when the file does not reach
// into the box. Throws as elevationFacts does.
ElevationPatch readElevation(const QString& path, const GeoBox& box);

// A georeferenced map as the dump reports it.
struct MapFacts {
  QString driver;  // "GTiff", "PNG", "MBTiles", …
  QString crs;     // "EPSG:32632", or the WKT when no EPSG code fits
  GeoBox bounds;   // degrees (WGS 84)
};

// The colours of a map at n points (degrees), $00BBGGRR, -1 where the map
// does not cover or is transparent there. The points are the nodes of a grid
// of `columns` × `rows`; the map is read once, at about twice that
// resolution over the part the points need (zoom levels and overviews are
// used when the file has them), so a huge picture costs little memory.
// Throws "Ungültige Kartendatei" (not a raster map GDAL reads, an empty or a
// vector MBTiles file), "Karte ohne Koordinatensystem" (no system in the file,
// no .prj, and a world file in metres), each with "Datei <name>".
MapFacts sampleMap(const QString& path, const std::vector<double>& lon, const std::vector<double>& lat, int columns,
                   int rows, std::vector<int32_t>& colours);

// Heights above the WGS 84 ellipsoid (a GNSS receiver's) to heights above the
// EGM96 geoid, in place, through PROJ and its geoid grid. False (nothing
// changed) when the grid is not installed.
bool ellipsoidToGeoid(const double* lat, const double* lon, double* height, int n);

// The last raw message GDAL gave, for a log; never shown in the window.
QString lastRasterMessage();

}  // namespace trelvano
