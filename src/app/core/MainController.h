#pragma once
// The main window's routines without any widget: the file commands, the
// navigation and overlay commands, the timers and the start-up sequence. The
// window (MainWindow) calls these from its handlers and then shows `state`,
// `panels` and `view.BackBuffer`.

#include "app/core/FlightScoring.h"
#include "app/core/FlightSet.h"
#include "chart/core/ChartState.h"
#include "import/Raster.h"
#include "import/TerrainLoader.h"
#include "model/Flight.h"
#include "model/FlightData.h"
#include "overlay/SidePanels.h"
#include "ui/FileDialogs.h"
#include "view3d/View3D.h"

#include <QString>
#include <optional>

#include <functional>
#include <type_traits>

namespace trelvano {

// Texts and visibilities of the main window outside the side panels.
struct MainState {
  QString statusText = QStringLiteral("keine Datei");  // StatusBar1
  QString hLabel = QStringLiteral("Höhe: ");           // HLabel, the altitude source
  bool grafikVisible = false;                          // menu item "Grafik"
  QString flightFile;  // full path of the flight file loaded last; empty before the first load
  // Where the export dialogs open: the folder of the last export (the window
  // keeps it between runs); empty = the documents folder.
  QString exportFolder;
};

// The name an export proposes for the flight read from `flightFile`:
// "<flight>.kml", "<flight>.gpx" ("<flight>-export.gpx" for a GPX flight),
// "<flight>-messwerte.csv"; never the recording's own name.
QString exportFileName(const QString& flightFile, const QString& suffix);

// "Trelvano 0.44": the program and its version (the project's version in CMake).
QString programName();

// The main window's caption: "Trelvano 0.44  (NG)" until a flight is loaded,
// then the program and the flight's file name ("Trelvano 0.44 – rundflug.igc").
QString windowTitle(const MainState& state);

// What a file named on the command line or dropped is, besides a flight:
// elevation (.hgt, .hgt.zip, a one-band GeoTIFF of 16- or 32-bit numbers),
// a georeferenced map (.mbtiles, a GeoTIFF with a coordinate system
// and three or four bands or a palette, a picture with a world file beside
// it), or neither.
enum class GroundFileKind { None, Terrain, Map };
GroundFileKind groundFileKind(const QString& path);

struct ExportTrack;  // FlightExport.h

enum class LoadStatus {
  Loaded,    // read and shown
  Unopened,  // the file could not be opened: ignored without a message
};

class MainController {
 public:
  explicit MainController(FileDialogs& dialogs);
  MainController(const MainController&) = delete;
  MainController& operator=(const MainController&) = delete;

  FileDialogs& dialogs;
  FlightDataPtr dataPtr;
  FlightData& data;
  View3D view;
  SidePanels panels;
  MainState state;
  ChartState chart;       // shared by every chart window
  FlightScoring scoring;  // the "Wertung" of the active flight
  // The loaded flights; the active one is the one the tables in `data` show.
  FlightSet flights;

  // Start-up after the window exists: "default.par" from the current
  // directory (or `defaultParPath`), then the "*.csv Öffnen" command.
  void startUp(const QString& defaultParPath = QStringLiteral("default.par"));
  // The start-up with files named on the command line: the same steps, but
  // instead of asking for a logger file it ends as a cancelled dialog would;
  // the window then opens the files one by one with openByName.
  void startUpWithFiles(const QString& defaultParPath = QStringLiteral("default.par"));

  // A file given by name (command line, drag and drop) through the menu
  // command of what it is (commandForNamedFile: by its first bytes, else by
  // its name), so it gets that command's messages. A file that is missing
  // throws "Datei nicht gefunden", one that cannot be read (a folder, a FIFO,
  // a device, no permission) "Datei kann nicht geöffnet werden", each with
  // "Datei <name>"; otherwise it returns Loaded or throws the reader's error.
  LoadStatus openByName(const QString& path);

  // Menu "Datei".
  void openIgcFile();
  void openLoggerFile();
  void openGpxFile();
  // The two file commands without their dialogs, for a known path; the closing
  // calls (camera, overlay, zoom, statistics) run as after the dialog.
  LoadStatus openIgcFile(const QString& path);
  LoadStatus openLoggerFile(const QString& path);
  LoadStatus openGpxFile(const QString& path);
  // A flight by its name: ".igc" → IGC, ".gpx" → GPX (any case), anything else → logger file.
  LoadStatus openFlightFile(const QString& path);
  // "Datei" → "Flug hinzufügen…" (IGC, GPX and logger files, several at
  // once) and the same for known paths (FlightCommands.cpp): each file is
  // read like openFlightFile reads it and added after the loaded flights;
  // the active flight stays (the first flight added to none is opened).
  // A file that fails, or one beyond 20 flights, throws and changes nothing;
  // the files before it stay added.
  void addFlights();
  LoadStatus addFlightFile(const QString& path);
  LoadStatus addFlightFiles(const QStringList& paths);
  // Makes another loaded flight the active one: the tables, the panels, the
  // overlay, the analysis and the ground show it; the camera stays. Its
  // section and cursor come back as it left them.
  void setActiveFlight(int index);
  // Removes a flight from the list; where it was active, the flight before
  // it becomes active. Removing the last one keeps its tables shown.
  void removeFlight(int index);
  // The flights' clock at the active flight's cursor point.
  void cursorTimeFromActive();

  // "Pixel-Karte laden" and "Vektor-Karte laden"; the same without their
  // dialogs for a known path (MapCommands.cpp).
  void openPixelMap();
  void openVectorMap();
  LoadStatus openPixelMap(const QString& path);
  LoadStatus openVectorMap(const QString& path);

  // "Gelände laden…", "Geländeordner…" and "Georeferenzierte Karte laden…";
  // the same without their dialogs (TerrainCommands.cpp). Elevation files
  // add to those loaded before (one of the same name replaces its
  // namesake); the folder's tiles under a flight load with every flight. A
  // map replaces the one before. A file that fails, or (once a flight is
  // loaded) does not reach under it, throws and changes nothing.
  void openTerrain();
  void chooseTerrainFolder();
  void openGeoMap();
  LoadStatus openTerrainFiles(const QStringList& paths);
  LoadStatus openGeoMap(const QString& path);
  // The folder of tiles (empty = none), as the settings keep it; loads its
  // tiles for the flight shown.
  void setTerrainFolder(const QString& folder);
  const QString& terrainFolder() const { return terrainFolder_; }
  // The elevation files and the map chosen, and what the map is.
  const QStringList& terrainFiles() const { return terrainFiles_; }
  const QString& geoMapFile() const { return geoMapFile_; }
  const trelvano::MapFacts& geoMapFacts() const { return geoMapFacts_; }

  // "Datei" → "Bild speichern…": the 3D view's picture as a PNG file.
  void saveViewPicture();
  // Asks for a file name and writes `picture` there as PNG (also the chart's).
  void savePicture(const QImage& picture);

  // "Datei" → "Exportieren": the flight for a globe viewer (KML), for other
  // GPS programs (GPX) and for a spreadsheet (CSV); the same without their
  // dialogs for a known path (ExportCommands.cpp).
  // Each asks for a file in the export folder; writing onto the loaded
  // recording throws "Die geladene Aufzeichnung kann nicht überschrieben
  // werden", an export with no flight loaded "Kein Flug geladen".
  void exportKml();
  void exportGpx();
  void exportCsv();
  // "Flugphasen…" → "Als CSV exportieren…": a table of the analysis, as
  // "<flight>-flugphasen.csv" in the export folder.
  void exportPhasesTable(const QByteArray& csv);
  void exportKml(const QString& path);
  void exportGpx(const QString& path);
  void exportCsv(const QString& path);

  // Menu "Parameter".
  void loadParameters();
  void saveParameters();

  // Menu "Navigation" (origin commands; the camera commands are View3D's).
  void moveOriginToSectionStart();
  void moveOriginToRecordingStart();

  // Menu "Overlay" (mode 1 … 6), the timers, the replay bar.
  void chooseOverlay(int mode);
  void animationTick();
  void replayTimerTick();
  void moveTrackBar(int position);
  void takeTrackBar();
  void showSection(int button);
  // A chart window picked this flight point for the cursor.
  void moveCursorTo(long long point);

 private:
  // Runs `command` so that it paints the picture once, however many steps
  // inside ask for a redraw (View3D::redrawOnceAfter); returns its result.
  template <class Command>
  auto paintingOnce(Command&& command) -> decltype(command());
  // The closing steps with the analysis of the loaded flight (nullptr: analyse the tables).
  void loggerClosingSteps(const FlightAnalysis* analysis = nullptr);
  void trackClosingSteps();
  // The flight of a file, read by the reader openFlightFile would use (a
  // logger flight with the altitudes the settings choose), analysed;
  // nullopt when the file cannot be opened.
  std::optional<LoadedFlight> readFlightFile(const QString& path);
  // `flight` into the tables and the window's texts, replacing the set.
  void showOpenedFlight(LoadedFlight flight);
  // Makes a flight of the set the active one and shows it; the camera stays.
  void showFlightOfSet(int index);
  // The window's texts for the flight the tables show.
  void showFlightTexts(const LoadedFlight& flight);
  // A reader of GPS tracks: the flight of `bytes`, named by its file name.
  using TrackReader = Flight (*)(QByteArrayView, const QString&);
  LoadStatus openTrackFile(const QString& path, TrackReader read);
  LoadStatus openWithReaderOf(const QString& path);
  void showMapLayer(bool Layers::*itemVisible, bool Layers::*item);
  void startUpSteps(const QString& defaultParPath);
  // The save dialog of an export: filter "*.<suffix>", the proposed name
  // (`name`, or exportFileName) in the export folder. Empty when cancelled.
  QString askExportPath(const QString& suffix, const QString& title, const QString& name = {});
  void exportTo(const QString& path, const std::function<QByteArray()>& bytes);
  // What the KML and GPX exports write: the active flight and the other shown ones.
  std::vector<ExportTrack> shownTracks() const;
  // After a flight load or a move of the origin: terrain, heights above
  // ground and map again for the flight's frame.
  void refreshGround();
  // refreshGround at the end of a flight load: an error there does not undo the flight.
  std::optional<RunError> refreshGroundAfterLoad();
  void showTerrainStatus();
  // The folder's tiles under the flight but for those of the same tile among `files`.
  FolderTiles folderTilesBeside(const QStringList& files) const;
  QStringList terrainFiles_;
  QString terrainFolder_;
  QString geoMapFile_;
  trelvano::MapFacts geoMapFacts_;
  QString terrainNote_;  // what showTerrainStatus added to the status text
};

template <class Command>
auto MainController::paintingOnce(Command&& command) -> decltype(command()) {
  if constexpr (std::is_void_v<decltype(command())>) {
    view.redrawOnceAfter(command);
  } else {
    decltype(command()) result{};
    view.redrawOnceAfter([&] { result = command(); });
    return result;
  }
}

}  // namespace trelvano
