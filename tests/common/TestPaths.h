#pragma once
#include <QByteArray>
#include <QString>

namespace trelvano {

// A file of the test data in tests/data, e.g. "igc/crlf-zero-pressure-xctrack.igc".
QString dataPath(const QString& relative);
// A file of this repository, e.g. "examples/default.par".
QString sourcePath(const QString& relative);
// Whole file as bytes; fails the test when it cannot be read.
QByteArray readBytes(const QString& path);
// Writes `bytes` to `path`; fails the test when it cannot. Returns the path.
QString writeBytes(const QString& path, const QByteArray& bytes);

// Switches the default locale for the lifetime of the object.
class ScopedLocale {
 public:
  explicit ScopedLocale(const char* name);
  ~ScopedLocale();

 private:
  QString previous_;
};

}  // namespace trelvano
