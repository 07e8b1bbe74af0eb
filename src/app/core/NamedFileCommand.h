#pragma once
// The command a file named on the command line or dropped on the window goes
// to: first by what its bytes say it is, and where they say nothing (an
// empty or unfamiliar file) by its name, so a broken file gets the message
// its menu command would give.

#include <QString>

namespace trelvano {

enum class NamedFileCommand {
  Igc,         // "*.igc Öffnen"
  Gpx,         // "*.gpx Öffnen"
  Logger,      // "*.csv Öffnen"
  Parameters,  // "Parameter → laden"
  VectorMap,   // "Vektor-Karte laden"
  PixelMap,    // "Pixel-Karte laden"
  Terrain,     // "Gelände laden…"
  GeoMap,      // "Georeferenzierte Karte laden…"
};

// By content: a TIFF is elevation when it has one band of 16- or 32-bit
// numbers (or GDAL cannot read it at all), a georeferenced map with a
// coordinate system or a world file, else a pixel map; a PNG or JPEG is a
// georeferenced map with a world file beside it, else a pixel map; a ZIP is
// a zipped elevation tile, an SQLite file MBTiles; an IGC A record an IGC
// flight, XML whose root is gpx a GPX flight. By name: ".par", ".map",
// ".hgt", ".hgt.zip", ".mbtiles", ".tif", ".tiff", pictures, ".igc", ".gpx"
// (any case); anything else is a logger file. A ".tif", ".hgt" or
// ".mbtiles" never goes to the logger reader.
NamedFileCommand commandForNamedFile(const QString& path);

}  // namespace trelvano
