#pragma once
#include <QByteArray>
#include <QString>

namespace trelvano {

// Flight, parameter and map files larger than this are refused before they
// are read (a full 65536-fix IGC file is under 3 MB).
constexpr qint64 kMaxFileBytes = qint64{64} << 20;

// Reads a whole file into `bytes`. Returns false when the file cannot be
// opened or is not a plain file (a FIFO, a device, a directory): the program
// ignores such a file silently. A file larger than kMaxFileBytes throws
// "Datei zu groß …"; a read error after opening throws "E/A-Fehler %d".
bool readWholeFile(const QString& path, QByteArray& bytes);

// The first `count` bytes of a plain file (fewer when it is shorter); empty
// when it cannot be read or is no plain file. Never throws: the reader the
// file goes to reports what is wrong with it.
QByteArray readFileHead(const QString& path, qsizetype count);

// Creates or replaces `path` with `bytes`, through a temporary file beside it
// that is written, synced and renamed into place only when all was written,
// so a failed write leaves an existing file byte for byte (a device or FIFO is
// written in place). A file that cannot be created or written throws
// "E/A-Fehler %d", the reason in German and "Datei <name>": 3 a directory of
// the path is missing, 5 access denied (a read-only file, a folder), 4 too
// many open files, 2 any other reason it cannot be created, 101 a failed or
// short write (a full disk).
void writeWholeFile(const QString& path, const QByteArray& bytes);

}  // namespace trelvano
