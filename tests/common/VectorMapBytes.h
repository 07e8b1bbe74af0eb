#pragma once
// Vector maps built in memory for the tests: ".map" records of 32 bytes,
// little-endian.

#include <QByteArray>
#include <QtEndian>

#include <cstdint>
#include <vector>

namespace trelvano {

struct VectorRecord {
  double lat, lon, altitude;
  int32_t color, pen;
};

inline QByteArray vectorMapBytes(const std::vector<VectorRecord>& records) {
  QByteArray b;
  for (const VectorRecord& r : records) {
    char raw[32];
    qToLittleEndian(r.lat, raw);
    qToLittleEndian(r.lon, raw + 8);
    qToLittleEndian(r.altitude, raw + 16);
    qToLittleEndian(r.color, raw + 24);
    qToLittleEndian(r.pen, raw + 28);
    b.append(raw, sizeof raw);
  }
  return b;
}

}  // namespace trelvano
