#pragma once
// The loaded flight (points 0 … LastPoint) as files for other programs. Each
// writer returns the whole file; the command writes it in one go.

#include "model/FlightData.h"

#include <QByteArray>
#include <QString>

// KML 2.2 for globe viewers: one Placemark named `flightName` with a
// LineString of "lon,lat,alt" (altitudeMode absolute, degrees with 9
// decimals, Altitude with 1), drawn in the flown path's blue.
QByteArray kmlBytes(const FlightData& data, const QString& flightName);

// GPX 1.1: one trk named `flightName` with one trkseg, a trkpt per point with
// lat, lon, ele and, where the flight has them, its UTC time.
QByteArray gpxBytes(const FlightData& data, const QString& flightName);

// A table for spreadsheets, UTF-8, semicolons, CR LF, the locale's decimal
// separator, a header line: seconds since the first point, latitude,
// longitude, altitude and, for a logger flight, the 13 channels under their
// names with the texts the replay's point display shows. A channel that
// cannot be converted throws as the display would, before anything is written.
QByteArray csvBytes(const FlightData& data);

// Shared by the XML writers: a coordinate or altitude in fixed notation with
// a point as separator, whatever the locale.
inline QString fixedNumber(double v, int decimals) { return QString::number(v, 'f', decimals); }
