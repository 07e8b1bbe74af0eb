// "Datei" → "Exportieren" of the main window.
#include "app/core/FlightExport.h"
#include "app/core/MainController.h"
#include "import/FileBytes.h"

#include <QFileInfo>

namespace {
QString flightName(const MainState& state) { return QFileInfo(state.flightFile).fileName(); }
}  // namespace

QString MainController::askExportPath(const QString& suffix, const QString& title) {
  data.MouseDragBlocked = true;
  const QString filter = QStringLiteral("*.") + suffix;
  const QString base = QFileInfo(state.flightFile).completeBaseName();
  return dialogs.saveFile(filter, title, base.isEmpty() ? filter : base + QLatin1Char('.') + suffix);
}

// "Google Earth (KML)…"
void MainController::ExportKml1Click() {
  const QString path = askExportPath(QStringLiteral("kml"), QStringLiteral("Google-Earth-Datei speichern"));
  if (!path.isEmpty()) exportKml(path);
}

// "GPX…"
void MainController::ExportGpx1Click() {
  const QString path = askExportPath(QStringLiteral("gpx"), QStringLiteral("GPX-Datei speichern"));
  if (!path.isEmpty()) exportGpx(path);
}

// "Messwerte als CSV…"
void MainController::ExportCsv1Click() {
  const QString path = askExportPath(QStringLiteral("csv"), QStringLiteral("Messwerte speichern"));
  if (!path.isEmpty()) exportCsv(path);
}

void MainController::exportKml(const QString& path) { writeWholeFile(path, kmlBytes(data, flightName(state))); }
void MainController::exportGpx(const QString& path) { writeWholeFile(path, gpxBytes(data, flightName(state))); }
void MainController::exportCsv(const QString& path) { writeWholeFile(path, csvBytes(data)); }
