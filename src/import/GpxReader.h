#pragma once
// GPX files as phones, GPS units and other programs write them: the points of
// every trk/trkseg/trkpt in file order, or, in a file without track points,
// those of every rte/rtept. Namespaces, prefixes and extensions are passed
// over. Read in one pass by expat, in UTF-8, UTF-16, ISO-8859-1 or
// Windows-1252; external entities are never loaded.

#include "model/Flight.h"

#include <QByteArrayView>
#include <QString>

namespace trelvano {

// A GPX file by its name: ".gpx" in any case.
bool isGpxFileName(const QString& path);

// The flight of the points of `bytes` (lat/lon in degrees, ele in metres, 0
// where missing) with their UTC times where some point has a time, the start
// values, the sample interval (the last time step; 2 s for a single point) and
// the altitude label "Höhe: GPS".
// TimeStep: the seconds between the times of a point and its predecessor
// (fractions kept; 0 when the time goes back), 1 s where either has none,
// 2.0 for the first point.
// Errors: not well-formed XML, a lat or lon that is no number or out of
// range, an ele that is no number → "Ungültige GPX-Datei" with file and line;
// no point → "Keine Flugdaten in der Datei"; more than 65536 points →
// "Fehler bei Bereichsprüfung".
Flight readGpx(QByteArrayView bytes, const QString& fileName);

}  // namespace trelvano
