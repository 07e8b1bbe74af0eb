#pragma once
#include <QByteArray>
#include <QString>

// Reads a whole file into `bytes`. Returns false when the file cannot be
// opened (the program ignores such a file silently). A read error after
// opening throws "E/A-Fehler %d".
bool readWholeFile(const QString& path, QByteArray& bytes);
