// The largest flights the tables hold — 65536 IGC fixes and 32768 logger
// samples — through every command a user can run on them: each overlay with
// its timer, the replay, the section buttons, the origin commands, the chart
// with every curve in both scales, the temperature and the barometric option.
// None of it may raise an error the program does not call for.
#include "chart/core/ChartView.h"
#include "app/core/MainController.h"
#include "common/ScriptedDialogs.h"
#include "common/TestPaths.h"
#include "options/core/OptionsController.h"
#include "import/ParameterFile.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>

namespace largest_flights_test {

using namespace trelvano;

namespace {

// A glider circling in thermals and gliding between them, one fix a second.
struct Track {
  double east = 0, north = 0, height = 300, heading = 0;
  void step(int i) {
    const bool circling = i % 600 < 300;
    heading += circling ? 0.2 : 0.002;
    const double speed = circling ? 18 : 25;
    east += speed * std::sin(heading);
    north += speed * std::cos(heading);
    height = std::max(20.0, height + (circling ? 1.5 : -1.4));
  }
  // DDMMmmm / DDDMMmmm of the position around 48°07'N 11°34'E.
  int lat() const { return loggerCoordinate(48 + 7.038 / 60 + north / 111195.0); }
  int lon() const { return loggerCoordinate(11 + 34.567 / 60 + east / (111195.0 * std::cos(0.84))); }
  static int loggerCoordinate(double degrees) {
    const int whole = int(degrees);
    return whole * 100000 + int(std::lround((degrees - whole) * 60000));
  }
};

QByteArray igcFlight(int fixes) {
  QByteArray text = "AXXX001 stress\r\nHFDTE150624\r\n";
  Track t;
  char line[64];
  for (int i = 0; i < fixes; ++i, t.step(i)) {
    const int s = 36000 + i;
    std::snprintf(line, sizeof line, "B%02d%02d%02d%07dN%08dEA%05d%05d\r\n", s / 3600 % 24, s / 60 % 60, s % 60,
                  t.lat(), t.lon(), int(t.height) + 480, int(t.height) + 500);
    text += line;
  }
  return text;
}

// New format, 1 s samples, channels as examples/default.par converts them:
// ADC16 barometric, Speed a pitot difference, Drehzahl a period (65535: motor off).
QByteArray loggerFlight(int samples) {
  QByteArray text = "1;64;49;0;0;0\r\nKanaele\r\n";
  Track t;
  char line[200];
  for (int i = 0; i < samples; ++i, t.step(i)) {
    const double pressure = 1013.25 * std::pow(1 - 0.0065 * (t.height + 480) / 288.15, 5.255);
    const bool motor = i % 3000 < 60;
    std::snprintf(line, sizeof line, "%ld;%d;%d;%d;%d;%d;%d;%d;%d;%d;%d;%d;%d;%d;%d;%d\r\n",
                  std::lround((1100 - pressure) / 0.01), 512, 600 + i % 7, 700, 800, 900, 410 + 60 + i % 40,
                  motor ? 3200 : 65535, 1500, 1520 + i % 40, 1480, i % 97, 0, t.lat(), t.lon(),
                  int((t.height + 480) * 10));
    text += line;
  }
  return text;
}

struct Program {
  ScriptedDialogs dialogs;
  MainController core{dialogs};
  QTemporaryDir dir;

  Program() { EXPECT_TRUE(Ladeparameter(core.data.ChannelParams, sourcePath(QStringLiteral("examples/default.par")))); }
  void open(const char* name, const QByteArray& bytes) {
    ASSERT_EQ(core.openByName(writeBytes(dir.filePath(QLatin1String(name)), bytes)), LoadStatus::Loaded);
  }

  // Every overlay on and off again, with some ticks of its timer; the
  // replay scrubbed, cut and picked.
  void everyOverlay() {
    for (int mode = 1; mode <= kOverlayItemCount; ++mode) {
      core.chooseOverlay(mode);
      for (int k = 0; k < 3; ++k) core.animationTick();
      if (mode == kModeFlugweg) {
        for (int k = 0; k < 5; ++k) core.replayTimerTick();
        core.takeTrackBar();
        core.moveTrackBar(1000);
        core.moveTrackBar(333);
        core.showSection(2);
        core.moveCursorTo(core.data.LastPoint);
        core.showSection(3);
        core.showSection(1);
        core.showSection(4);
      }
      core.chooseOverlay(mode);
    }
  }

  void originCommands() {
    core.data.RangeStart = core.data.LastPoint / 2;
    core.moveOriginToSectionStart();
    core.moveOriginToRecordingStart();
    core.view.Autozoom();
  }

  // A chart window with every curve ticked, both scales, zoomed to a section.
  void chartWithEveryCurve() {
    ChartView chart(core.data, core.chart);
    chart.open();
    for (int k = 0; k < kGpsCurveCount; ++k) chart.setGpsTicked(k, true);
    for (int k = 0; k < kChannelCount; ++k) chart.setChannelTicked(k, true);
    chart.setWindDirectionPosition(30);
    chart.setWindSpeedPosition(12);
    chart.setTemperaturePosition(-30);
    chart.setScaleIndex(1);
    chart.setScaleIndex(0);
    core.data.RangeStart = 1000;
    core.data.RangeEnd = 2000;
    chart.GrafikUpdate();
    if (chart.controls.zoomEnabled) chart.setZoomTicked(true);
    chart.doubleClickChart();
    chart.setZoomTicked(false);
  }

  void barometricOption(bool on) {
    QString hLabel = core.state.hLabel;
    OptionsController options({core.data, core.view, core.panels, hLabel});
    options.open();
    options.baroAltitudeTicked(on);
  }
};

void expectNoError(const char* what, const std::function<void()>& run) {
  try {
    run();
  } catch (const RunError& e) {
    ADD_FAILURE() << what << ": " << e.boxText().toStdString();
  }
}

TEST(LargestFlights, IgcFlightOf65536Fixes) {
  Program p;
  p.open("gross.igc", igcFlight(kMaxFlightPoints));
  ASSERT_EQ(p.core.data.LastPoint, kMaxFlightPoints - 1);
  expectNoError("overlays and replay", [&] { p.everyOverlay(); });
  expectNoError("origin", [&] { p.originCommands(); });
  expectNoError("chart", [&] { p.chartWithEveryCurve(); });
  expectNoError("options", [&] { p.barometricOption(true); });
}

TEST(LargestFlights, LoggerFlightOf32768Samples) {
  Program p;
  p.open("gross.csv", loggerFlight(kSampleRows));
  ASSERT_EQ(p.core.data.LastPoint, kSampleRows - 1);
  expectNoError("overlays and replay", [&] { p.everyOverlay(); });
  expectNoError("origin", [&] { p.originCommands(); });
  expectNoError("barometric altitude on", [&] { p.barometricOption(true); });
  EXPECT_TRUE(p.core.data.UseBaroAltitude);
  expectNoError("chart", [&] { p.chartWithEveryCurve(); });
  expectNoError("overlays with barometric altitudes", [&] { p.everyOverlay(); });
  expectNoError("barometric altitude off", [&] { p.barometricOption(false); });
}

}  // namespace

}  // namespace largest_flights_test
