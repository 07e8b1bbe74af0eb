#pragma once
// Logger files: semicolon-separated integers, new format ("NG-Typ", 13 channels
// and a GPS fix per sample, two header lines) or old format ("alter-Typ").

#include "import/LoadStaging.h"
#include "model/FlightData.h"

#include <QByteArrayView>
#include <QString>

namespace trelvano {

struct LoggerLoadResult {
  bool newFormat = false;  // LoggerNG after the load
  QString hLabel;          // the altitude label to show: "Höhe: GPS", "Höhe: AD2", …
};

// Reads the file and, when it was read without error, replaces the flight:
// FlightPath, the sample tables (new format; ChannelSamples becomes a copy of
// RawSamples), LastPoint, RangeStart 0, RangeEnd, SampleInterval, the header
// values, LoggerNG, the altitudes (Altitude), the extents, local frame, time
// steps, shadow and plumb lines (MaxMinusw).
// Lines end at CR, LF or CR LF; Ctrl-Z ends the file. More than 65536 points,
// a new-format sample row 32768 or a negative sample period code fail with the
// range error; a file without a single counted sample line, or whose counted
// lines hold no digit at all (text), fails with "Keine Flugdaten in der Datei".
// On failure throws RunError (detail: file name and line number) and leaves
// `data` exactly as it was.
LoggerLoadResult loadLoggerFile(FlightData& data, LoadStaging& staging, QByteArrayView bytes, const QString& fileName);

// Copies all 32768 rows of RawSamples into ChannelSamples.
void KonvertExtra(FlightData& data);

}  // namespace trelvano
