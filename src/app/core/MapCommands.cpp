// The two map commands of the menu "Datei".
#include "app/core/MainController.h"

#include "import/PixelMapReader.h"
#include "import/VectorMapReader.h"

#include <QFile>
#include <QFileInfo>

namespace {
// False for a file that cannot be opened (or a directory): ignored without a message.
bool openForReading(QFile& file) {
  return !QFileInfo(file.fileName()).isDir() && file.open(QIODevice::ReadOnly);
}
}  // namespace

// "Pixel-Karte laden"
void MainController::Karteladen1Click() {
  const QString path =
      dialogs.openFile(pixelMapFilter(), QStringLiteral("Karten-Bitmap laden"), QStringLiteral("*.bmp"));
  if (!path.isEmpty()) openPixelMap(path);
}

LoadStatus MainController::openPixelMap(const QString& path) {
  QFile file(path);
  if (!openForReading(file)) return LoadStatus::Unopened;
  loadPixelMap(data, file, QFileInfo(path).fileName());
  view.layers.KarteVisible = true;
  view.layers.Karte = true;
  data.MouseDragBlocked = true;
  view.Grafikupdate();
  return LoadStatus::Loaded;
}

// "Vektor-Karte laden"
void MainController::Mapladen1Click() {
  const QString path =
      dialogs.openFile(QStringLiteral("*.map"), QStringLiteral("Vektor-Karte laden"), QStringLiteral("*.map"));
  if (!path.isEmpty()) openVectorMap(path);
}

LoadStatus MainController::openVectorMap(const QString& path) {
  QFile file(path);
  if (!openForReading(file)) return LoadStatus::Unopened;
  loadVectorMap(data, *staging_, file, QFileInfo(path).fileName());
  view.layers.VectorKarteVisible = true;
  view.layers.VectorKarte = true;
  data.MouseDragBlocked = true;
  view.Grafikupdate();
  return LoadStatus::Loaded;
}
