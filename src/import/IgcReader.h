#pragma once
// IGC flight files: the B records (time, latitude, longitude, pressure altitude).

#include "import/LoadStaging.h"
#include "model/FlightData.h"

#include <QByteArrayView>
#include <QString>

// Reads every B record of `bytes` and, when all were good, replaces the
// flight: FlightPath 0 … n-1, LastPoint, RangeStart 0, RangeEnd, the extents,
// the local frame with point 0 as origin, ShadowPath, PlumbLines, PlumbLast,
// SampleInterval, the start values, LoggerNG false.
// Lines end at CR, LF or CR LF; Ctrl-Z ends the file. Time steps come from the
// full time of day (midnight wraps). A file whose fixes all have pressure
// altitude 0 takes the GNSS altitudes instead.
// On failure throws RunError (detail: file name and line number) and leaves
// `data` exactly as it was.
void loadIgc(FlightData& data, LoadStaging& staging, QByteArrayView bytes, const QString& fileName);
