#pragma once
// IGC flight files: the B records (time, latitude, longitude, pressure altitude).

#include "model/Flight.h"

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

// The flight of every B record of `bytes`: its fixes (time step 2 s for the
// first), their UTC times when a HFDTE record gives the date (a day added at
// each midnight crossing that fixTimeStep counts), each fix's GNSS altitude,
// the start values, the sample interval (the last time step; 2 s for a single
// fix) and the altitude label: "Höhe: Luftdruck", or "Höhe: GPS" when the
// GNSS altitudes stand in for a file whose fixes all have pressure altitude 0.
// Lines end at CR, LF or CR LF; Ctrl-Z ends the file. Time steps come from the
// full time of day, see fixTimeStep.
// Beside the fixes it keeps in `igc` the header's pilot, glider and date, the
// last declared task (C records), the events (E records), each fix's ENL and
// MOP values where the I record names them, and whether a G record is
// present; the LAD and LOD extensions add their digits to each fix's
// position. Malformed C, E and I records are passed over.
// A B record at latitude 0000000 and longitude 00000000 holds no position
// and is passed over like any other line (the next fix's time step counts
// from the fix before it). A file without a single other B record fails with
// "Keine Flugdaten in der Datei"; more than 65536 fixes with the range error.
// Every failure throws RunError (detail: file name and line number).
Flight readIgc(QByteArrayView bytes, const QString& fileName);

}  // namespace trelvano
