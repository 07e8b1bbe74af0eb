#pragma once
// The loaded flight (points 0 … LastPoint) as files for other programs. Each
// writer returns the whole file; the command writes it in one go.

#include "import/SeaLevelAltitude.h"
#include "model/FlightData.h"

#include <QByteArray>
#include <QString>

namespace trelvano {

// KML 2.2 for globe viewers: one Placemark named `flightName` with a
// LineString of "lon,lat,alt" (altitudeMode absolute, degrees with 9
// decimals, seaLevelAltitudes with 1), drawn in the flown path's blue.
QByteArray kmlBytes(const FlightData& data, const QString& flightName);

// GPX 1.1: one trk named `flightName` with one trkseg, a trkpt per point with
// lat, lon, ele (seaLevelAltitudes) and, where the flight has them, its UTC time.
QByteArray gpxBytes(const FlightData& data, const QString& flightName);

// A table for spreadsheets, UTF-8 with a byte-order mark (so spreadsheets on
// any system read the umlauts and degree signs), semicolons, CR LF, the
// locale's decimal separator, a header line: seconds since the first point,
// latitude, longitude, altitude as shown and, for a new-format logger flight,
// the 13 converted channels under their names; last the height above sea
// level. A channel that cannot be converted throws before anything is written.
QByteArray csvBytes(const FlightData& data);

// Shared by the XML writers: a coordinate or altitude in fixed notation with
// a point as separator, whatever the locale.
inline QString fixedNumber(double v, int decimals) { return QString::number(v, 'f', decimals); }

}  // namespace trelvano
