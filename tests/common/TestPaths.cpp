#include "common/TestPaths.h"

#include <QFile>
#include <QLocale>
#include <gtest/gtest.h>

namespace trelvano {

QString dataPath(const QString& relative) { return QStringLiteral(TRELVANO_DATA_DIR "/") + relative; }

QString sourcePath(const QString& relative) { return QStringLiteral(TRELVANO_SOURCE_DIR "/") + relative; }

QByteArray readBytes(const QString& path) {
  QFile f(path);
  if (!f.open(QIODevice::ReadOnly)) {
    ADD_FAILURE() << "cannot read " << path.toStdString();
    return {};
  }
  return f.readAll();
}

QString writeBytes(const QString& path, const QByteArray& bytes) {
  QFile f(path);
  if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size())
    ADD_FAILURE() << "cannot write " << path.toStdString();
  return path;
}

ScopedLocale::ScopedLocale(const char* name) : previous_(QLocale().name()) {
  QLocale::setDefault(QLocale(QString::fromLatin1(name)));
}

ScopedLocale::~ScopedLocale() { QLocale::setDefault(QLocale(previous_)); }

}  // namespace trelvano
