#pragma once
// Logger files: semicolon-separated integers, new format ("NG-Typ", 13 channels
// and a GPS fix per sample, two header lines) or old format ("alter-Typ").

#include "model/Flight.h"

#include <QByteArrayView>
#include <QString>

namespace trelvano {

// The flight of a logger file: its fixes (time step: the sample interval),
// the new format's samples, the header values, the start values and the
// sample interval. A new-format flight's altitudes are those of the GPS
// column relative to the first sample ("Höhe: GPS"); withAltitudeSource gives
// it those the settings choose.
// Lines end at CR, LF or CR LF; Ctrl-Z ends the file. More than 65536 points,
// a new-format sample row 32768 or a negative sample period code fail with the
// range error; a file without a single counted sample line, or whose counted
// lines hold no digit at all (text), fails with "Keine Flugdaten in der Datei".
// Every failure throws RunError (detail: file name and line number).
Flight readLogger(QByteArrayView bytes, const QString& fileName);

}  // namespace trelvano
