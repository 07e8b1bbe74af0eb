// "Geländeordner…": the names of the files in a terrain folder. Each line of
// the input is one entry of the folder, its first character saying what it
// is: '0' an empty file, '1' a whole 3″ tile (a link to one), '2' a zipped
// tile, '3' a few bytes of garbage, '4' a folder; the rest of the line is its
// name. The folder's tiles under the flight then load.
#include "GroundHarness.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

using namespace trelvano;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* bytes, size_t size) {
  GroundWorld& w = groundWorld();
  const QDir folder(w.folder() + QStringLiteral("/ordner"));
  QDir().mkpath(folder.path());
  const QByteArrayView input(reinterpret_cast<const char*>(bytes), qsizetype(size));
  int entries = 0;
  for (const QByteArrayView line : QByteArray::fromRawData(input.data(), input.size()).split('\n')) {
    if (line.size() < 2 || ++entries > 16) continue;
    const QString name = QString::fromUtf8(line.sliced(1));
    // Names stay inside the folder.
    if (name.contains(QLatin1Char('/')) || name.contains(QChar(0)) || name == QLatin1String(".") ||
        name == QLatin1String(".."))
      continue;
    const QString path = folder.filePath(name);
    if (QFileInfo(path).exists() || QFileInfo(path).isSymLink()) continue;  // never write through a link
    switch (line[0]) {
      case '0': w.write(QStringLiteral("ordner/") + name, {}); break;
      case '1': QFile::link(w.good, path); break;
      case '2': QFile::link(w.goodZip, path); break;
      case '4': folder.mkdir(name); break;
      default: w.write(QStringLiteral("ordner/") + name, line.first(std::min<qsizetype>(line.size(), 64))); break;
    }
  }
  expectGroundLoadedOrUnchanged(QByteArrayView(reinterpret_cast<const char*>(bytes), qsizetype(size)),
                                [&](MainController& c) { c.setTerrainFolder(folder.path()); });
  return 0;
}
