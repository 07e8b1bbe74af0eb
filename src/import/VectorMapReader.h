#pragma once
// Vector maps (".map"): headerless files of 32-byte little-endian records,
// each one vertex of a filled polygon in geographic coordinates.

#include "model/FlightData.h"

#include <QByteArrayView>
#include <QString>

namespace trelvano {

constexpr int kVectorRecordSize = 32;

// Reads every whole record of `bytes` (a trailing partial record is ignored)
// into VectorMap 0 … n − 1: Lat, Lon, Altitude and
// Color as stored; Pen 0 where the record's is 0 (a new polygon starts) and 1
// for any other value (the polygon continues); X and Y in the local frame
// around FlightPath[0] (not RangeStart), Z 0. VectorMapLast := n − 1, so an
// empty file gives the empty map.
// More than 131072 records throw the range error, a record whose position is
// not a finite number "Ungültige Gleitkommaoperation", each with the file
// (and record) as detail; the map loaded before then stays as it was.
void loadVectorMap(FlightData& data, QByteArrayView bytes, const QString& fileName);

}  // namespace trelvano
