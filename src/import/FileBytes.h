#pragma once
#include <QByteArray>
#include <QString>

// Flight, parameter and map files larger than this are refused before they
// are read (a full 65536-fix IGC file is under 3 MB).
constexpr qint64 kMaxFileBytes = qint64{64} << 20;

// Reads a whole file into `bytes`. Returns false when the file cannot be
// opened or is not a plain file (a FIFO, a device, a directory): the program
// ignores such a file silently. A file larger than kMaxFileBytes throws
// "Datei zu groß …"; a read error after opening throws "E/A-Fehler %d".
bool readWholeFile(const QString& path, QByteArray& bytes);
