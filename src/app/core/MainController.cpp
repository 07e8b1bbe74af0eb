#include "app/core/MainController.h"
#include "app/core/FlightScene.h"
#include "app/core/NamedFileCommand.h"

#include "Version.h"

#include "import/ChannelConversion.h"
#include "canvas/PngBytes.h"
#include "import/FileBytes.h"
#include "import/AltitudeSource.h"
#include "import/FlightFrame.h"
#include "import/GpxReader.h"
#include "import/IgcReader.h"
#include "import/LoggerReader.h"
#include "import/ParameterFile.h"
#include "import/PixelMapReader.h"
#include "import/ShowFlight.h"
#include "import/TextLines.h"
#include "app/core/AnalyseLoadedFlight.h"
#include "overlay/Infobox.h"
#include "overlay/Overlay.h"
#include "overlay/Replay.h"
#include "overlay/ReplayControl.h"
#include "view3d/Transform.h"

#include <QFileInfo>

namespace trelvano {

namespace {
const QString kFlightTitle = QStringLiteral("Flug-Datei laden");
}

MainController::MainController(FileDialogs& fileDialogs)
    : dialogs(fileDialogs), dataPtr(makeFlightData()), data(*dataPtr), view(data) {
  view.sceneSource = [this](SceneFlights& scene) { fillScene(flights, data, scene); };
}

void MainController::startUpSteps(const QString& defaultParPath) {
  Parameterinit(data.ChannelParams);
  data.OverlayMode = 0;
  Ladeparameter(data.ChannelParams, defaultParPath);
  view.resetCamera();
  data.SampleInterval = 2.0;
  GitterPfeil(data, 100);
}

void MainController::startUp(const QString& defaultParPath) {
  paintingOnce([&] {
    startUpSteps(defaultParPath);
    openLoggerFile();
  });
}

void MainController::startUpWithFiles(const QString& defaultParPath) {
  paintingOnce([&] {
    startUpSteps(defaultParPath);
    loggerClosingSteps();
  });
}

LoadStatus MainController::openByName(const QString& path) {
  // The user named this file: unlike a dialog's choice, one that cannot be read is reported.
  const QFileInfo file(path);
  if (!file.exists()) throw inFile(RunError::fileNotFound(), file.fileName());
  // The full path, as a file chosen in a dialog shows it in the status bar.
  if (paintingOnce([&] { return openWithReaderOf(file.absoluteFilePath()); }) == LoadStatus::Unopened)
    throw inFile(RunError::cannotOpen(), file.fileName());
  return LoadStatus::Loaded;
}

LoadStatus MainController::openWithReaderOf(const QString& path) {
  switch (commandForNamedFile(path)) {
    case NamedFileCommand::Igc: return openIgcFile(path);
    case NamedFileCommand::Gpx: return openGpxFile(path);
    case NamedFileCommand::Logger: return openLoggerFile(path);
    case NamedFileCommand::Parameters:
      return Ladeparameter(data.ChannelParams, path) ? LoadStatus::Loaded : LoadStatus::Unopened;
    case NamedFileCommand::VectorMap: return openVectorMap(path);
    case NamedFileCommand::PixelMap: return openPixelMap(path);
    case NamedFileCommand::Terrain: return openTerrainFiles({path});
    case NamedFileCommand::GeoMap: return openGeoMap(path);
  }
  return LoadStatus::Unopened;
}

LoadStatus MainController::openFlightFile(const QString& path) {
  if (isIgcFileName(path)) return openIgcFile(path);
  if (isGpxFileName(path)) return openGpxFile(path);
  return openLoggerFile(path);
}

QString programName() { return QStringLiteral("Trelvano " TRELVANO_VERSION); }

QString windowTitle(const MainState& state) {
  if (state.flightFile.isEmpty()) return programName() + QStringLiteral("  (NG)");
  return programName() + QStringLiteral(" – ") + QFileInfo(state.flightFile).fileName();
}

// "Bild speichern…"
void MainController::saveViewPicture() { savePicture(view.BackBuffer); }

void MainController::savePicture(const QImage& picture) {
  data.MouseDragBlocked = true;
  const QString path =
      dialogs.saveFile(QStringLiteral("*.png"), QStringLiteral("Bild speichern"), QStringLiteral("*.png"));
  if (path.isEmpty()) return;
  const QString target = picturePath(path);
  writeWholeFile(target, pictureBytes(picture, target));
}

// "*.igc Öffnen"
void MainController::openIgcFile() {
  const QString path = dialogs.openFile(QStringLiteral("*.igc"), kFlightTitle, QStringLiteral("*.igc"));
  if (path.isEmpty())
    Infobox(data, panels);
  else
    openIgcFile(path);
}

// "*.gpx Öffnen"
void MainController::openGpxFile() {
  const QString path =
      dialogs.openFile(QStringLiteral("*.gpx"), QStringLiteral("GPX-Datei laden"), QStringLiteral("*.gpx"));
  if (path.isEmpty())
    Infobox(data, panels);
  else
    openGpxFile(path);
}

LoadStatus MainController::openIgcFile(const QString& path) { return openTrackFile(path, readIgc); }
LoadStatus MainController::openGpxFile(const QString& path) { return openTrackFile(path, readGpx); }

LoadStatus MainController::openTrackFile(const QString& path, TrackReader read) {
  QByteArray bytes;
  if (!readWholeFile(path, bytes)) return LoadStatus::Unopened;
  auto flight = std::make_shared<const Flight>(read(bytes, QFileInfo(path).fileName()));
  LoadedFlight loaded = loadedFlight(flight, path);
  loaded.analysis = analyseFlight(*flight);
  showOpenedFlight(std::move(loaded));
  const std::optional<RunError> groundError = refreshGroundAfterLoad();
  paintingOnce([&] { trackClosingSteps(); });
  cursorTimeFromActive();
  if (groundError) throw *groundError;
  return LoadStatus::Loaded;
}

void MainController::showOpenedFlight(LoadedFlight flight) {
  showFlight(data, *flight.flight);
  flights.replaceAll(std::move(flight));
  showFlightTexts(*flights.active());
}

void MainController::showFlightTexts(const LoadedFlight& loaded) {
  const Flight& flight = *loaded.flight;
  const bool logger = flight.kind == FlightKind::LoggerNew || flight.kind == FlightKind::LoggerOld;
  state.hLabel = flight.altitudeLabel;
  state.grafikVisible = flight.kind == FlightKind::LoggerNew;
  state.statusText = loaded.path;
  if (logger)
    state.statusText +=
        flight.kind == FlightKind::LoggerNew ? QStringLiteral(" (NG-Typ)") : QStringLiteral(" (alter-Typ)");
  state.flightFile = loaded.path;
}

// The end of a track load (IGC, GPX): camera, overlay, zoom, statistics.
// Where stepping back cannot bring the whole flight into the picture (it lies
// behind the camera, or farther than the steps reach), it is framed instead.
void MainController::trackClosingSteps() {
  showAnalysis(data, flights.active()->analysis);
  view.resetCamera();
  data.MouseDragBlocked = true;
  data.OverlayMode = 0;
  Overlay(data, view, panels);
  view.Autozoom();
  if (view.OutOfView) view.fitFlight();
  Infobox(data, panels);
}

// "*.csv Öffnen"; also the last step of the start-up.
void MainController::openLoggerFile() {
  const QString path = dialogs.openFile(QStringLiteral("*.csv"), kFlightTitle, QStringLiteral("*.csv"));
  if (path.isEmpty()) {
    // ChannelSamples may have been written since the load: copy the raw samples again.
    if (data.LoggerNG) KonvertExtra(data);
    paintingOnce([&] { loggerClosingSteps(); });
    return;
  }
  openLoggerFile(path);
}

LoadStatus MainController::openLoggerFile(const QString& path) {
  QByteArray bytes;
  if (!readWholeFile(path, bytes)) return LoadStatus::Unopened;
  auto flight = std::make_shared<const Flight>(withAltitudeSource(
      readLogger(bytes, QFileInfo(path).fileName()), data.ChannelParams, data.Temperature, data.UseBaroAltitude));
  LoadedFlight loaded = loadedFlight(flight, path);
  loaded.analysis = analyseFlight(*flight);
  showOpenedFlight(std::move(loaded));
  const std::optional<RunError> groundError = refreshGroundAfterLoad();
  paintingOnce([&] { loggerClosingSteps(&flights.active()->analysis); });
  cursorTimeFromActive();
  if (groundError) throw *groundError;
  return LoadStatus::Loaded;
}

// The end of "*.csv Öffnen", run after a load (which has already copied the
// samples into ChannelSamples) and after a cancelled dialog.
void MainController::loggerClosingSteps(const FlightAnalysis* analysis) {
  if (analysis)
    showAnalysis(data, *analysis);
  else
    analyseLoadedFlight(data);
  Infobox(data, panels);
  view.resetCamera();
  data.MouseDragBlocked = true;
  data.OverlayMode = 0;
  Overlay(data, view, panels);
}

// "Parameter" → "laden"
void MainController::loadParameters() {
  data.MouseDragBlocked = true;
  const QString path =
      dialogs.openFile(QStringLiteral("*.par"), QStringLiteral("Parameter-Datei laden"), QStringLiteral("*.par"));
  Ladeparameter(data.ChannelParams, path);
}

// "Parameter" → "speichern"
void MainController::saveParameters() {
  data.MouseDragBlocked = true;
  const QString path =
      dialogs.saveFile(QStringLiteral("*.par"), QStringLiteral("Parameter-Datei speichern"), QStringLiteral("*.par"));
  if (!path.isEmpty()) saveParameterFile(data.ChannelParams, path);
}

// "Startpunkt des Flugzeuges an Begin des Ausschnitts setzen"
void MainController::moveOriginToSectionStart() {
  moveOriginToRangeStart(data);
  if (!flights.empty()) flights.sceneOrigin = flightOrigin(data);
  const std::optional<RunError> groundError = refreshGroundAfterLoad();
  paintingOnce([&] {
    Track(data, view, panels);
    view.Grafikupdate();
  });
  if (groundError) throw *groundError;
}

// "Startpunkt des Flugzeuges an den Anfang der Aufzeichnungen setzen"
void MainController::moveOriginToRecordingStart() {
  data.RangeStart = 0;
  moveOriginToSectionStart();
}

void MainController::chooseOverlay(int mode) { trelvano::chooseOverlay(data, view, panels, mode); }
void MainController::animationTick() { trelvano::animateDirections(data, view); }
void MainController::replayTimerTick() {
  replayTick(data, view, panels);
  cursorTimeFromActive();
}
void MainController::moveTrackBar(int position) {
  trelvano::moveTrackBar(data, view, panels, position);
  cursorTimeFromActive();
}
void MainController::takeTrackBar() { trelvano::takeTrackBar(panels); }
void MainController::showSection(int button) {
  trelvano::showSection(data, view, button);
  cursorTimeFromActive();
}
void MainController::moveCursorTo(long long point) {
  trelvano::moveCursorTo(data, view, panels, point);
  cursorTimeFromActive();
}

}  // namespace trelvano
