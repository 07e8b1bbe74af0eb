#pragma once
// The 624-byte parameter file: the image of the channel parameter table,
// 13 rows of 48 bytes, little-endian.

#include "model/ChannelParams.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

namespace trelvano {

// The table as the 624 bytes of the file; bytes the table does not hold come
// from the image last read (zero when none).
QByteArray parameterFileBytes(const ChannelParamTable& table);

// Replaces the table by the first 624 bytes of `bytes`. Fewer than 624 bytes:
// "Versuch hinter dem Dateiende zu lesen" and the table stays unchanged.
void readParameterBytes(ChannelParamTable& table, QByteArrayView bytes);

// Ladeparameter: does nothing for an empty name or a file that cannot be
// opened (or is not a plain file); otherwise readParameterBytes of the file's
// first 624 bytes (a file shorter than that throws "Versuch hinter dem
// Dateiende zu lesen", a read error "E/A-Fehler 100", a file beyond
// kMaxFileBytes "Datei zu groß …", all with the path as detail).
// Returns whether a file was read.
bool Ladeparameter(ChannelParamTable& table, const QString& fileName);

// Writes the table to `fileName` (created or overwritten) with writeWholeFile
// and its "E/A-Fehler %d" errors.
void saveParameterFile(const ChannelParamTable& table, const QString& fileName);

}  // namespace trelvano
