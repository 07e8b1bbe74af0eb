// "Datei" → "Exportieren" of the main window.
#include "app/core/FlightExport.h"
#include "app/core/MainController.h"
#include "import/FileBytes.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

#include <sys/stat.h>

namespace trelvano {

namespace {

QString flightName(const MainState& state) { return QFileInfo(state.flightFile).fileName(); }

// Whether `path` names the file `recording` (also through a link of either kind).
bool sameFile(const QString& path, const QString& recording) {
  struct stat a {
  }, b{};
  return !recording.isEmpty() && ::stat(QFile::encodeName(path).constData(), &a) == 0 &&
         ::stat(QFile::encodeName(recording).constData(), &b) == 0 && a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

}  // namespace

QString exportFileName(const QString& flightFile, const QString& suffix) {
  const QFileInfo flight(flightFile);
  const QString base = flight.completeBaseName();
  if (suffix == QLatin1String("csv")) return base + QStringLiteral("-messwerte.csv");
  // A GPX flight exported as GPX must never be proposed under its own name.
  if (flight.suffix().compare(suffix, Qt::CaseInsensitive) == 0) return base + QStringLiteral("-export.") + suffix;
  return base + QLatin1Char('.') + suffix;
}

QString MainController::askExportPath(const QString& suffix, const QString& title, const QString& name) {
  data.MouseDragBlocked = true;
  // The first time, and after the folder went away: the documents folder, or home without one.
  if (state.exportFolder.isEmpty() || !QFileInfo(state.exportFolder).isDir()) {
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    state.exportFolder = QFileInfo(documents).isDir() ? documents : QDir::homePath();
  }
  const QString proposed =
      QDir(state.exportFolder).filePath(name.isEmpty() ? exportFileName(state.flightFile, suffix) : name);
  const QString path = dialogs.saveFile(QStringLiteral("*.") + suffix, title, proposed);
  if (!path.isEmpty()) state.exportFolder = QFileInfo(path).absolutePath();
  return path;
}

// "Google Earth (KML)…"
void MainController::exportKml() {
  const QString path = askExportPath(QStringLiteral("kml"), QStringLiteral("Google-Earth-Datei speichern"));
  if (!path.isEmpty()) exportKml(path);
}

// "GPX…"
void MainController::exportGpx() {
  const QString path = askExportPath(QStringLiteral("gpx"), QStringLiteral("GPX-Datei speichern"));
  if (!path.isEmpty()) exportGpx(path);
}

// "Messwerte als CSV…"
void MainController::exportCsv() {
  const QString path = askExportPath(QStringLiteral("csv"), QStringLiteral("Messwerte speichern"));
  if (!path.isEmpty()) exportCsv(path);
}

void MainController::exportPhasesTable(const QByteArray& csv) {
  const QString name = QFileInfo(state.flightFile).completeBaseName() + QStringLiteral("-flugphasen.csv");
  const QString path = askExportPath(QStringLiteral("csv"), QStringLiteral("Flugphasen exportieren"), name);
  if (!path.isEmpty()) exportTo(path, [&csv] { return csv; });
}

void MainController::exportTo(const QString& path, const std::function<QByteArray()>& bytes) {
  if (!data.HasFlight) throw RunError::noFlight();
  // No loaded recording is overwritten, the active one or another.
  if (sameFile(path, state.flightFile)) throw RunError::ownRecording(path);
  for (const LoadedFlight& f : flights.flights())
    if (sameFile(path, f.path)) throw RunError::ownRecording(path);
  writeWholeFile(path, bytes());
}

// The active flight as the tables show it and every other shown flight, in
// the list's order; a flight alone keeps the flown path's blue.
std::vector<ExportTrack> MainController::shownTracks() const {
  std::vector<ExportTrack> tracks;
  for (int k = 0; k < flights.count(); ++k) {
    const LoadedFlight& f = flights.at(k);
    if (k == flights.activeIndex()) {
      tracks.push_back(exportTrack(data, flightName(state)));
      tracks.back().colour = bgrColour(f.colour);
    } else if (f.visible) {
      tracks.push_back(exportTrack(f));
    }
  }
  if (tracks.size() <= 1) return {exportTrack(data, flightName(state))};
  return tracks;
}

void MainController::exportKml(const QString& path) {
  exportTo(path, [this] { return kmlBytes(shownTracks(), flightName(state)); });
}

void MainController::exportGpx(const QString& path) {
  exportTo(path, [this] { return gpxBytes(shownTracks()); });
}

void MainController::exportCsv(const QString& path) {
  exportTo(path, [this] { return csvBytes(data); });
}

}  // namespace trelvano
