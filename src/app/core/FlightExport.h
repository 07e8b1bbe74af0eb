#pragma once
// The loaded flights as files for other programs. Each writer returns the
// whole file; the command writes it in one go.

#include "app/core/FlightSet.h"
#include "import/SeaLevelAltitude.h"
#include "model/FlightData.h"

#include <QByteArray>
#include <QString>
#include <vector>

namespace trelvano {

// One flight of a KML or GPX file: its name, its colour ($00BBGGRR) and per
// fix latitude, longitude, height above sea level and UTC (NaN = none).
struct ExportTrack {
  struct Point {
    double lat, lon, seaLevel, utc;
  };
  QString name;
  int32_t colour = colours::kBlue;
  std::vector<Point> points;
};
// A colour of the list as the model keeps colours: $00BBGGRR.
int32_t bgrColour(QRgb colour);
// The flight in the tables (points 0 … LastPoint), in the flown path's blue.
ExportTrack exportTrack(const FlightData& data, const QString& name);
// A loaded flight as read, in its colour, named by its file.
ExportTrack exportTrack(const LoadedFlight& flight);

// KML 2.2 for globe viewers, the document named `documentName`: per track a
// Placemark of its name with a LineString of "lon,lat,alt" (altitudeMode
// absolute, degrees with 9 decimals, the height with 1), drawn in its colour
// (styles "flightPath", "flightPath2", …).
QByteArray kmlBytes(const std::vector<ExportTrack>& tracks, const QString& documentName);

// GPX 1.1: per track a trk of its name with one trkseg, a trkpt per point with
// lat, lon, ele and, where the flight has it, its UTC time.
QByteArray gpxBytes(const std::vector<ExportTrack>& tracks);

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
