#pragma once
// Elevation tiles with known surfaces, written by the tests themselves, an
// independent bilinear reading of them, and flights over them.

#include "import/FlightFrame.h"
#include "import/LocalFrame.h"
#include "view3d/Transform.h"
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
// the tile of its own would read it; NaN when one of them is void.
inline double tileHeight(const Surface& f, double lat, double lon, int n = kTile3) {
  const int south = int(std::floor(lat)), west = int(std::floor(lon));
  const double x = (lon - west) * (n - 1), y = (south + 1 - lat) * (n - 1);
  const int c = std::min(int(x), n - 2), r = std::min(int(y), n - 2);
  const double fx = x - c, fy = y - r;
  const int16_t v[4] = {tileValue(f, south, west, c, r, n), tileValue(f, south, west, c + 1, r, n),
                        tileValue(f, south, west, c, r + 1, n), tileValue(f, south, west, c + 1, r + 1, n)};
  for (int16_t h : v)
    if (h == -32768) return NAN;
  return (1 - fx) * (1 - fy) * v[0] + fx * (1 - fy) * v[1] + (1 - fx) * fy * v[2] + fx * fy * v[3];
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

// Flat ground at 400 m with a hill 450 m high and 400 m round whose top is at (lat, lon).
inline Surface hillAt(double lat, double lon) {
  return [lat, lon](double la, double lo) {
    const double d = kMetresPerDegree * std::hypot(la - lat, (lo - lon) * std::cos(lat * M_PI / 180));
    return 400 + std::max(0.0, 450 * (1 - d / 400));
  };
}

// A camera looking north at 20° from 2 km behind and 100 m above the flight's
// origin, as the home position does, and the place (degrees) under its eye
// for an origin at (lat, lon).
inline Camera cameraBehindOrigin() {
  Camera c;
  c.CamZ = 100;
  return c;
}
inline std::array<double, 2> underTheEye(const Camera& c, double lat, double lon) {
  const EyePoint eye = eyePoint(c);
  return {lat + eye.y / kMetresPerDegree, lon - eye.x / (kMetresPerDegree * std::cos(lat * M_PI / 180))};
}

// IGC text of a flight through (lat, lon, altitude) points, the GNSS
// altitudes declared above `datum` ("GEO", "ELL"), the pressure altitudes
// `pressureBelow` metres lower; `gnssOnly` leaves the pressure altitudes 0,
// so the GNSS ones stand in.
inline QByteArray igcText(const std::vector<std::array<double, 3>>& points, const char* datum = "GEO",
                          bool gnssOnly = false, double pressureBelow = 0) {
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
    const QByteArray pressure = QByteArray::number(int(std::lround(alt - pressureBelow))).rightJustified(5, '0');
    text += "B" + QByteArray::number(t / 3600).rightJustified(2, '0') +
            QByteArray::number(t / 60 % 60).rightJustified(2, '0') + QByteArray::number(t % 60).rightJustified(2, '0') +
            field(lat, 2, 'N', 'S') + field(lon, 3, 'E', 'W') + "A" + (gnssOnly ? QByteArray("00000") : pressure) +
            altitude + "\r\n";
    t += 2;
  }
  return text;
}

}  // namespace trelvano
