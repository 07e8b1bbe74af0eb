// The two map commands of the menu "Datei".
#include "app/core/MainController.h"

#include "import/FileBytes.h"
#include "import/PixelMapReader.h"
#include "import/VectorMapReader.h"

#include <QFileInfo>

namespace trelvano {

// "Pixel-Karte laden"
void MainController::openPixelMap() {
  const QString path =
      dialogs.openFile(pixelMapFilter(), QStringLiteral("Karten-Bitmap laden"), QStringLiteral("*.bmp"));
  if (!path.isEmpty()) openPixelMap(path);
}

LoadStatus MainController::openPixelMap(const QString& path) {
  QByteArray bytes;
  if (!readWholeFile(path, bytes)) return LoadStatus::Unopened;
  loadPixelMap(data, bytes, QFileInfo(path).fileName());
  showMapLayer(&Layers::KarteVisible, &Layers::Karte);
  return LoadStatus::Loaded;
}

// "Vektor-Karte laden"
void MainController::openVectorMap() {
  const QString path =
      dialogs.openFile(QStringLiteral("*.map"), QStringLiteral("Vektor-Karte laden"), QStringLiteral("*.map"));
  if (!path.isEmpty()) openVectorMap(path);
}

LoadStatus MainController::openVectorMap(const QString& path) {
  QByteArray bytes;
  if (!readWholeFile(path, bytes)) return LoadStatus::Unopened;
  loadVectorMap(data, bytes, QFileInfo(path).fileName());
  showMapLayer(&Layers::VectorKarteVisible, &Layers::VectorKarte);
  return LoadStatus::Loaded;
}

// After a map loaded: its item in "Darstellung" appears checked, and the view shows it.
void MainController::showMapLayer(bool Layers::*itemVisible, bool Layers::*item) {
  view.layers.*itemVisible = true;
  view.layers.*item = true;
  data.MouseDragBlocked = true;
  view.Grafikupdate();
}

}  // namespace trelvano
