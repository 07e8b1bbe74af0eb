// Every real recording opens with the whole flight in the picture, and
// "Flug einpassen" frames any flight, logger flights included.
#include "app/core/MainController.h"
#include "common/ScriptedDialogs.h"
#include "common/TestPaths.h"
#include "model/RunError.h"

#include <QDir>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

namespace {

struct ScreenBox {
  double left = INFINITY, top = INFINITY, right = -INFINITY, bottom = -INFINITY;
  bool behind = false;
};

// Where the flight's points landed in the last redraw, in pixels (the renderer's mapping).
ScreenBox flightOnScreen(const MainController& c) {
  const FlightData& d = c.data;
  const int w = c.view.BackBuffer.width(), h = c.view.BackBuffer.height();
  ScreenBox box;
  for (int32_t i = d.RangeStart; i <= d.RangeEnd; ++i) {
    const FlightPoint& p = d.FlightPath[i];
    box.behind = box.behind || p.Pen > kPenLine;
    const double x = 0.5 * w - p.ProjX / 2.5, y = 0.5 * h - p.ProjY / 2.5;
    box.left = std::min(box.left, x), box.right = std::max(box.right, x);
    box.top = std::min(box.top, y), box.bottom = std::max(box.bottom, y);
  }
  return box;
}

// Inside with a margin, and large: a third of the width or of the height at least.
void expectFramed(const MainController& c, const std::string& what) {
  SCOPED_TRACE(what);
  const ScreenBox b = flightOnScreen(c);
  const int w = c.view.BackBuffer.width(), h = c.view.BackBuffer.height();
  EXPECT_FALSE(b.behind);
  EXPECT_FALSE(c.view.OutOfView);
  EXPECT_GE(b.left, 0.04 * w);
  EXPECT_LE(b.right, 0.96 * w);
  EXPECT_GE(b.top, 0.04 * h);
  EXPECT_LE(b.bottom, 0.96 * h);
  EXPECT_TRUE(b.right - b.left >= w / 3.0 || b.bottom - b.top >= h / 3.0)
      << b.right - b.left << " x " << b.bottom - b.top;
}

TEST(Framing, EveryRealRecordingOpensWhole) {
  CancelAllDialogs dialogs;
  MainController c(dialogs);
  const QStringList files = QDir(dataPath(QStringLiteral("igc"))).entryList({QStringLiteral("*.igc")});
  ASSERT_GE(files.size(), 14);
  for (const QString& name : files) {
    try {
      c.openIgcFile(dataPath(QStringLiteral("igc/") + name));
    } catch (const RunError&) {
      continue;  // the broken recording keeps the flight before it
    }
    const ScreenBox b = flightOnScreen(c);
    SCOPED_TRACE(name.toStdString());
    EXPECT_FALSE(c.view.OutOfView);
    EXPECT_FALSE(b.behind);
    EXPECT_GE(b.left, 0);
    EXPECT_LE(b.right, c.view.BackBuffer.width());
    EXPECT_GE(b.top, 0);
    EXPECT_LE(b.bottom, c.view.BackBuffer.height());
  }
}

TEST(Framing, FlugEinpassenFramesAnyFlightAtAnyViewAndSize) {
  CancelAllDialogs dialogs;
  MainController c(dialogs);
  c.openLoggerFile(sourcePath(QStringLiteral("examples/ng-flug.csv")));
  const Camera home = c.view.cam;
  c.view.FlugEinpassen1Click();
  expectFramed(c, "logger flight");
  EXPECT_EQ(c.view.cam.CamA, home.CamA);
  EXPECT_EQ(c.view.cam.CamE, home.CamE);
  EXPECT_EQ(c.view.cam.CamD, home.CamD);

  const struct {
    const char* file;
    int azimuth, elevation, width, height;
  } cases[] = {
      {"igc/tiny-example-western-timejump.igc", 0, 20, 650, 400},  // 324 km between the first fix and the rest
      {"igc/crlf-long-southwest-oudie.igc", 135, 60, 1600, 1000},
      {"igc/crlf-zero-pressure-xctrack.igc", 270, 0, 300, 200},
      {"igc/crlf-southern-midnight-newzealand.igc", 45, 90, 650, 400},
  };
  for (const auto& k : cases) {
    c.openIgcFile(dataPath(QString::fromLatin1(k.file)));
    c.view.resizeImage(k.width, k.height);
    c.view.turnCamera(k.azimuth, k.elevation - int(c.view.cam.CamE));
    c.view.FlugEinpassen1Click();
    expectFramed(c, k.file);
  }
}

}  // namespace
