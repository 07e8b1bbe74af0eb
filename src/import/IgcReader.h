#pragma once
// IGC flight files: the B records (time, latitude, longitude, pressure altitude).

#include "import/LoadStaging.h"
#include "model/FlightData.h"

#include <QByteArrayView>
#include <QString>
#include <cstdint>

namespace trelvano {

// An IGC file by its name: ".igc" in any case.
bool isIgcFileName(const QString& path);

// The header declares the GNSS altitudes heights above the WGS 84 ellipsoid
// ("HFALGALTGPS:ELL"); without it they are taken as above sea level.
bool igcGnssAboveEllipsoid(QByteArrayView bytes);

// Seconds from one fix to the next, from their times of day. A backward step
// is a midnight crossing when the clock ran from the evening into the morning
// (the step plus a day is below 12 hours); any other backward step is a clock
// correction of the recorder and counts 0 s.
int32_t fixTimeStep(int32_t previousSecondOfDay, int32_t secondOfDay);

// Reads every B record of `bytes` and, when all were good, replaces the
// flight: FlightPath 0 … n-1, LastPoint, RangeStart 0, RangeEnd, the extents,
// the local frame with point 0 as origin, ShadowPath, PlumbLines, PlumbLast,
// SampleInterval, the start values, LoggerNG false, and PointTime with
// HasPointTimes when a HFDTE record gives the date (a day added at each
// midnight crossing that fixTimeStep counts).
// Lines end at CR, LF or CR LF; Ctrl-Z ends the file. Time steps come from the
// full time of day, see fixTimeStep. A file whose fixes all have pressure
// altitude 0 takes the GNSS altitudes instead.
// Beside the fixes it keeps in `data.Igc` the last declared task (C records),
// the events (E records), each fix's ENL and MOP values where the I record
// names them, and whether a G record is present; the LAD and LOD extensions
// add their digits to each fix's position. Malformed C, E and I records are
// passed over.
// A B record at latitude 0000000 and longitude 00000000 holds no position
// and is passed over like any other line (the next fix's time step counts
// from the fix before it). A file without a single other B record fails with
// "Keine Flugdaten in der Datei".
// Returns the altitude label: "Höhe: Luftdruck", or "Höhe: GPS" when the
// GNSS altitudes stand in.
// On failure throws RunError (detail: file name and line number) and leaves
// `data` exactly as it was.
QString loadIgc(FlightData& data, LoadStaging& staging, QByteArrayView bytes, const QString& fileName);

}  // namespace trelvano
