#include "app/core/MainController.h"
#include "common/ScriptedDialogs.h"
#include "common/TestPaths.h"
#include "model/RunError.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <cstring>

namespace main_controller_test {

using namespace trelvano;

namespace {

QString igcPath() { return dataPath(QStringLiteral("igc/crlf-zero-pressure-xctrack.igc")); }
QString ngCsvPath() { return sourcePath(QStringLiteral("examples/ng-flug.csv")); }

bool pictureHasColour(const QImage& img, QRgb colour) {
  for (int y = 0; y < img.height(); ++y)
    for (int x = 0; x < img.width(); ++x)
      if (img.pixel(x, y) == colour) return true;
  return false;
}

struct Program {
  ScriptedDialogs dialogs;
  MainController core{dialogs};
};

}  // namespace

TEST(StartUp, CancelledDialogLeavesTheEmptyFlight) {
  Program p;
  p.core.startUp(QStringLiteral("/nonexistent/default.par"));
  ASSERT_EQ(p.dialogs.calls.size(), 1u);
  EXPECT_EQ(p.dialogs.calls[0].filter, QStringLiteral("*.csv"));
  EXPECT_EQ(p.dialogs.calls[0].title, QStringLiteral("Flug-Datei laden"));
  EXPECT_EQ(p.dialogs.calls[0].initialName, QStringLiteral("*.csv"));
  EXPECT_EQ(p.core.state.statusText, QStringLiteral("keine Datei"));
  EXPECT_FALSE(p.core.state.grafikVisible);
  EXPECT_EQ(p.core.data.LastPoint, 0);
  EXPECT_EQ(p.core.data.FlightPath[0].Color, 0x00FF0000);  // the overlay reset coloured it
  EXPECT_EQ(p.core.panels.info[0], QStringLiteral("0 min 0 s"));
  EXPECT_EQ(p.core.panels.info[1], QStringLiteral("0 m"));
  EXPECT_EQ(p.core.panels.info[2], QStringLiteral("0 km/h"));
  EXPECT_TRUE(p.core.data.MouseDragBlocked);
  EXPECT_EQ(p.core.view.cam.CamD, 2000);
}

TEST(StartUp, ReadsTheDefaultParameterFile) {
  Program p;
  p.core.startUp(sourcePath(QStringLiteral("examples/default.par")));
  EXPECT_NE(p.core.data.ChannelParams[0].Kind, 0);
}

TEST(IgcCommand, LoadThroughTheDialogShowsTheFlight) {
  Program p;
  p.dialogs.answers = {igcPath()};
  const long long redrawsBefore = p.core.view.redrawCount();
  p.core.openIgcFile();
  EXPECT_EQ(p.dialogs.calls.at(0).filter, QStringLiteral("*.igc"));
  EXPECT_EQ(p.core.state.statusText, igcPath());
  EXPECT_FALSE(p.core.state.grafikVisible);
  EXPECT_EQ(p.core.data.LastPoint, 293);
  EXPECT_GT(p.core.view.redrawCount(), redrawsBefore);
  EXPECT_TRUE(p.core.data.MouseDragBlocked);
  EXPECT_EQ(p.core.data.OverlayMode, 0);
  // The track is drawn in blue somewhere in the picture, and the statistics are filled.
  EXPECT_TRUE(pictureHasColour(p.core.view.BackBuffer, qRgb(0, 0, 255)));
  EXPECT_NE(p.core.panels.info[0], QStringLiteral("0 min 0 s"));
}

TEST(IgcCommand, CancelOnlyRefreshesTheStatistics) {
  Program p;
  p.dialogs.answers = {igcPath(), QString()};
  p.core.openIgcFile();
  const int last = p.core.data.LastPoint;
  const QString info = p.core.panels.info[0];
  p.core.openIgcFile();
  EXPECT_EQ(p.core.data.LastPoint, last);
  EXPECT_EQ(p.core.panels.info[0], info);
  EXPECT_EQ(p.core.state.statusText, igcPath());
}

TEST(IgcCommand, UnopenableFileChangesNothing) {
  Program p;
  p.dialogs.answers = {QStringLiteral("/nonexistent/flight.igc")};
  const long long redraws = p.core.view.redrawCount();
  p.core.openIgcFile();
  EXPECT_EQ(p.core.state.statusText, QStringLiteral("keine Datei"));
  EXPECT_EQ(p.core.view.redrawCount(), redraws);
}

TEST(IgcCommand, FailedLoadKeepsTheEarlierFlightAndItsWindowState) {
  Program p;
  p.dialogs.answers = {igcPath()};
  p.core.openIgcFile();
  const FlightPoint before = p.core.data.FlightPath[100];
  QTemporaryDir dir;
  const QString bad =
      writeBytes(dir.filePath(QStringLiteral("bad.igc")), "B1101355206343N00006198WA0058700558\r\nB11\r\n");
  p.dialogs.answers = {bad};
  try {
    p.core.openIgcFile();
    FAIL() << "no error";
  } catch (const RunError& e) {
    EXPECT_EQ(e.text(), QStringLiteral("Fehler bei Bereichsprüfung"));
  }
  EXPECT_EQ(p.core.state.statusText, igcPath());
  EXPECT_EQ(p.core.data.LastPoint, 293);
  EXPECT_EQ(std::memcmp(&before, &p.core.data.FlightPath[100], sizeof before), 0);
}

TEST(LoggerCommand, NewFormatShowsGrafikAndTheAltitudeSource) {
  Program p;
  p.dialogs.answers = {ngCsvPath()};
  p.core.openLoggerFile();
  EXPECT_EQ(p.core.state.statusText, ngCsvPath() + QStringLiteral(" (NG-Typ)"));
  EXPECT_TRUE(p.core.state.grafikVisible);
  EXPECT_EQ(p.core.state.hLabel, QStringLiteral("Höhe: GPS"));
  EXPECT_TRUE(p.core.data.LoggerNG);
  EXPECT_GT(p.core.data.LastPoint, 10);
  EXPECT_EQ(p.core.data.ChannelSamples[5][15], p.core.data.RawSamples[5][15]);

  // An IGC file afterwards hides "Grafik" again.
  p.dialogs.answers = {igcPath()};
  p.core.openIgcFile();
  EXPECT_FALSE(p.core.state.grafikVisible);
  EXPECT_FALSE(p.core.data.LoggerNG);
}

TEST(LoggerCommand, OldFormatAndBaroAltitude) {
  Program p;
  p.dialogs.answers = {sourcePath(QStringLiteral("examples/alt-flug.csv"))};
  p.core.openLoggerFile();
  EXPECT_TRUE(p.core.state.statusText.endsWith(QStringLiteral(" (alter-Typ)")));
  EXPECT_FALSE(p.core.state.grafikVisible);

  p.core.startUp(sourcePath(QStringLiteral("examples/default.par")));  // cancelled dialog
  p.core.data.UseBaroAltitude = true;
  p.dialogs.answers = {ngCsvPath()};
  p.core.openLoggerFile();
  EXPECT_TRUE(p.core.data.UseBaroAltitude);
  EXPECT_TRUE(p.core.state.hLabel.startsWith(QStringLiteral("Höhe: ")));
  EXPECT_NE(p.core.state.hLabel, QStringLiteral("Höhe: GPS"));
}

TEST(ParameterCommands, SaveAndLoadThroughTheDialogs) {
  Program p;
  QTemporaryDir dir;
  const QString path = dir.filePath(QStringLiteral("test.par"));
  p.core.data.ChannelParams[3].Kind = 2;
  p.core.data.ChannelParams[3].Name = QStringLiteral("Höhe1");
  p.dialogs.answers = {path};
  p.core.data.MouseDragBlocked = false;
  p.core.saveParameters();
  EXPECT_TRUE(p.core.data.MouseDragBlocked);
  EXPECT_EQ(p.dialogs.calls.back().title, QStringLiteral("Parameter-Datei speichern"));
  EXPECT_EQ(QFileInfo(path).size(), 624);

  Program q;
  q.dialogs.answers = {path};
  q.core.loadParameters();
  EXPECT_EQ(q.dialogs.calls.back().title, QStringLiteral("Parameter-Datei laden"));
  EXPECT_EQ(q.core.data.ChannelParams[3].Kind, 2);
  EXPECT_EQ(q.core.data.ChannelParams[3].Name, QStringLiteral("Höhe1"));

  // Saving into a directory that does not exist reports the I/O error.
  q.dialogs.answers = {dir.filePath(QStringLiteral("missing/test.par"))};
  try {
    q.core.saveParameters();
    FAIL() << "no error";
  } catch (const RunError& e) {
    EXPECT_TRUE(e.text().startsWith(QStringLiteral("E/A-Fehler ")));
  }
}

TEST(OriginCommands, MoveTheOriginAndBack) {
  Program p;
  p.dialogs.answers = {igcPath()};
  p.core.openIgcFile();
  p.core.data.RangeStart = 50;
  p.core.moveOriginToSectionStart();
  EXPECT_EQ(p.core.data.FlightPath[50].X, 0.0);
  EXPECT_EQ(p.core.data.FlightPath[50].Z, 0.0);
  EXPECT_TRUE(p.core.panels.nav[0].endsWith(QStringLiteral(" m")));  // Track filled the labels
  p.core.moveOriginToRecordingStart();
  EXPECT_EQ(p.core.data.RangeStart, 0);
  EXPECT_EQ(p.core.data.FlightPath[0].X, 0.0);
  EXPECT_NE(p.core.data.FlightPath[50].X, 0.0);
}

// Opening any flight or map paints the picture once, however far the camera
// has to step back or be framed to show it; the picture shows the flight.
TEST(OpenCommands, EveryRecordingPaintsOnce) {
  Program p;
  p.core.startUpWithFiles(QStringLiteral("/nonexistent/default.par"));
  int opened = 0;
  for (const char* folder : {"tests/data/igc", "tests/data/gpx", "examples"}) {
    const QDir files(sourcePath(QLatin1String(folder)));
    for (const QString& file : files.entryList({"*.igc", "*.gpx", "*.csv", "*.bmp", "*.map"}, QDir::Files)) {
      SCOPED_TRACE(file.toStdString());
      const long long before = p.core.view.redrawCount();
      try {
        p.core.openByName(files.filePath(file));
      } catch (const RunError&) {
        EXPECT_LE(p.core.view.redrawCount(), before + 1);
        continue;
      }
      EXPECT_EQ(p.core.view.redrawCount(), before + 1);
      ++opened;
    }
  }
  EXPECT_GE(opened, 18);
}

}  // namespace main_controller_test
