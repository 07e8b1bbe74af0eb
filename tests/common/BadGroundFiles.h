#pragma once
// Elevation files and maps a hostile user might choose for a flight over the
// Luxembourg Ardennes (49.70° N, 5.88° E), each with the message it must get.
// The window's commands and the dump are held to the same table.

#include "common/SyntheticTerrain.h"
#include "common/TestPaths.h"
#include "common/TestRasters.h"

#include <QDir>

#include <limits>
#include <vector>

namespace trelvano {

struct BadGroundFile {
  QString path;
  bool terrain;         // "Gelände laden…", else "Georeferenzierte Karte laden…"
  const char* message;  // the first line of the box; the second is "Datei <name>"
};

// A picture of the Ardennes as a PNG with a world file of the given lines (and a .prj of `prj`, when given).
inline QString writeWorldFilePicture(const QString& dir, const QString& name, const QByteArray& worldFile,
                                     const QByteArray& prj = {}) {
  TestRaster picture;
  picture.width = picture.height = 40;
  picture.bands = 3;
  picture.type = GDT_Byte;
  picture.system = nullptr;
  picture.value = [](int band, int x, int y) { return 60.0 * band + 2 * x + y; };
  const QString path = writeRaster(QDir(dir).filePath(name + ".png"), picture, "PNG");
  writeBytes(QDir(dir).filePath(name + ".pgw"), worldFile);
  if (!prj.isEmpty()) writeBytes(QDir(dir).filePath(name + ".prj"), prj);
  return path;
}

inline std::vector<BadGroundFile> writeBadGroundFiles(const QString& dir) {
  const QDir d(dir);
  // Float heights over the Ardennes, one value everywhere.
  auto heights = [&](const char* name, double value, std::optional<double> noData = {}) {
    TestRaster r;
    r.width = r.height = 60;
    r.gt[0] = 5.5, r.gt[1] = 0.01, r.gt[3] = 50.1, r.gt[5] = -0.01;
    r.noData = noData;
    r.value = [value](int, int, int) { return value; };
    return writeRaster(d.filePath(name), r);
  };
  // Heights in a polar stereographic system around the North Pole.
  TestRaster polar;
  polar.width = polar.height = 50;
  polar.gt[0] = -1e6, polar.gt[1] = 4e4, polar.gt[3] = 1e6, polar.gt[5] = -4e4;
  polar.system = "EPSG:3413";
  polar.value = [](int, int x, int y) { return 100.0 + x + y; };
  // A map of nothing but no-data over the flight.
  TestRaster blank;
  blank.width = blank.height = 80;
  blank.bands = 3;
  blank.type = GDT_Byte;
  blank.gt[0] = 5.7, blank.gt[1] = 0.005, blank.gt[3] = 49.9, blank.gt[5] = -0.005;
  blank.noData = 0;
  const QByteArray degrees = "0.002\n0\n0\n-0.002\n5.80\n49.76\n";
  return {
      {heights("hoehen-1e38.tif", 1e38), true, "Ungültige Geländedatei"},
      {heights("nur-nan.tif", std::numeric_limits<double>::quiet_NaN()), true, "Ungültige Geländedatei"},
      {heights("nur-fehlwerte.tif", -9999, -9999), true, "Ungültige Geländedatei"},
      {heights("meerestief.tif", -2000), true, "Ungültige Geländedatei"},
      {writeBytes(d.filePath("N49E006.hgt"), QByteArray(5000, '\1')), true, "Ungültige Geländedatei"},
      {writeBytes(d.filePath("hoehe.tif"), "kein GeoTIFF"), true, "Ungültige Geländedatei"},
      {writeRaster(d.filePath("polar.tif"), polar), true, "Gelände liegt nicht im Bereich des Fluges"},
      {writeTile(dir, 10, 10, [](double, double) { return 100.0; }), true, "Gelände liegt nicht im Bereich des Fluges"},
      {d.filePath("fehlt.hgt"), true, "Datei nicht gefunden"},
      {writeRaster(d.filePath("leer.tif"), blank), false, "Ungültige Kartendatei"},
      {writeWorldFilePicture(dir, "null", "0\n0\n0\n0\n5.80\n49.76\n"), false, "Ungültige Kartendatei"},
      {writeWorldFilePicture(dir, "riesig", "1e300\n0\n0\n-1e300\n5.80\n49.76\n"), false, "Ungültige Kartendatei"},
      {writeWorldFilePicture(dir, "muell", degrees, "kein Koordinatensystem"), false, "Karte ohne Koordinatensystem"},
      {writeWorldFilePicture(dir, "weit", "0.002\n0\n0\n-0.002\n10.0\n10.0\n"), false,
       "Karte liegt nicht im Bereich des Fluges"},
      {dataPath("maps/empty.mbtiles"), false, "Ungültige Kartendatei"},
      {dataPath("maps/vector.mbtiles"), false, "Ungültige Kartendatei"},
      {dataPath("maps/no-crs.tif"), false, "Karte ohne Koordinatensystem"},
      {dataPath("maps/metres.png"), false, "Karte ohne Koordinatensystem"},
  };
}

}  // namespace trelvano
