#pragma once
// Elevation tiles with known surfaces, written by the tests themselves, an
// independent bilinear reading of them, and flights over them.

#include "import/FlightFrame.h"
#include "model/FlightData.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QString>
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <functional>
#include <vector>

namespace trelvano {

// Metres above sea level at (lat, lon); NaN leaves a void (−32768).
using Surface = std::function<double(double lat, double lon)>;

constexpr int kTile3 = 1201;  // points per side of a 3″ tile

inline QString tileFileName(int south, int west) {
  return QStringLiteral("%1%2%3%4.hgt")
      .arg(south < 0 ? 'S' : 'N')
      .arg(std::abs(south), 2, 10, QLatin1Char('0'))
      .arg(west < 0 ? 'W' : 'E')
      .arg(std::abs(west), 3, 10, QLatin1Char('0'));
}

// The tile's stored value at point (c, r), row 0 the northern one.
inline int16_t tileValue(const Surface& f, int south, int west, int c, int r, int n = kTile3) {
  const double h = f(south + 1 - double(r) / (n - 1), west + double(c) / (n - 1));
  return std::isnan(h) ? int16_t(-32768) : int16_t(std::lround(h));
}

// Writes an SRTM tile (big-endian 16-bit, n × n points on whole-degree edges) as `dir`/<name>.
inline QString writeTile(const QString& dir, int south, int west, const Surface& f, int n = kTile3,
                         const QString& name = {}) {
  QByteArray bytes(qsizetype(n) * n * 2, Qt::Uninitialized);
  char* out = bytes.data();
  for (int r = 0; r < n; ++r)
    for (int c = 0; c < n; ++c, out += 2) {
      const uint16_t v = uint16_t(tileValue(f, south, west, c, r, n));
      out[0] = char(v >> 8);
      out[1] = char(v & 0xFF);
    }
  const QString path = QDir(dir).filePath(name.isEmpty() ? tileFileName(south, west) : name);
  QFile file(path);
  EXPECT_TRUE(file.open(QIODevice::WriteOnly));
  file.write(bytes);
  return path;
}

// The points of a tile without data.
inline int voidsOf(const Surface& f, int south, int west, int n = kTile3) {
  int voids = 0;
  for (int r = 0; r < n; ++r)
    for (int c = 0; c < n; ++c) voids += tileValue(f, south, west, c, r, n) == -32768;
  return voids;
}

// Bilinear between the tile's stored values around (lat, lon), as a reader of
// the tile of its own would read it.
inline double tileHeight(const Surface& f, double lat, double lon, int n = kTile3) {
  const int south = int(std::floor(lat)), west = int(std::floor(lon));
  const double x = (lon - west) * (n - 1), y = (south + 1 - lat) * (n - 1);
  const int c = std::min(int(x), n - 2), r = std::min(int(y), n - 2);
  const double fx = x - c, fy = y - r;
  return (1 - fx) * (1 - fy) * tileValue(f, south, west, c, r, n) +
         fx * (1 - fy) * tileValue(f, south, west, c + 1, r, n) +
         (1 - fx) * fy * tileValue(f, south, west, c, r + 1, n) + fx * fy * tileValue(f, south, west, c + 1, r + 1, n);
}

// A flight through the given (lat, lon, altitude) points, framed around the first.
inline FlightDataPtr flightThrough(const std::vector<std::array<double, 3>>& points) {
  FlightDataPtr data = makeFlightData();
  for (size_t i = 0; i < points.size(); ++i) {
    FlightPoint& p = data->FlightPath[int32_t(i)];
    p.Lat = points[i][0], p.Lon = points[i][1], p.Altitude = points[i][2];
  }
  data->LastPoint = data->RangeEnd = int32_t(points.size()) - 1;
  MaxMinusw(*data);
  return data;
}

// `n` points on an ellipse of the given radii (degrees) around (lat, lon), at `altitude`.
inline std::vector<std::array<double, 3>> circleAround(double lat, double lon, double dLat, double dLon,
                                                       double altitude, int n = 60) {
  std::vector<std::array<double, 3>> points;
  for (int k = 0; k < n; ++k) {
    const double a = 2 * M_PI * k / n;
    points.push_back({lat + dLat * std::sin(a), lon + dLon * std::cos(a), altitude + 10 * std::sin(3 * a)});
  }
  return points;
}

}  // namespace trelvano
