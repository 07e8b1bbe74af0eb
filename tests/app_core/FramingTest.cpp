// Every real recording opens with the whole flight in the picture, and
// "Flug einpassen" frames any flight, at any view and size, large.
#include "app/core/MainController.h"
#include "common/TestPaths.h"
#include "model/RunError.h"

#include <QDir>
#include <gtest/gtest.h>

#include <algorithm>

namespace framing_test {

using namespace trelvano;

namespace {

// The flight's points as the last redraw put them on the screen (the
// renderer's mapping); with `large`, also a third of the picture at least.
void expectWholeFlightShown(const MainController& c, const QString& what, bool large) {
  SCOPED_TRACE(what.toStdString());
  const double w = c.view.BackBuffer.width(), h = c.view.BackBuffer.height();
  double left = w, right = 0, top = h, bottom = 0;
  for (int32_t i = c.data.RangeStart; i <= c.data.RangeEnd; ++i) {
    const FlightPoint& p = c.data.FlightPath[i];
    ASSERT_LE(p.Pen, kPenLine) << "point " << i << " behind the eye";
    left = std::min(left, 0.5 * w - p.ProjX / 2.5), right = std::max(right, 0.5 * w - p.ProjX / 2.5);
    top = std::min(top, 0.5 * h - p.ProjY / 2.5), bottom = std::max(bottom, 0.5 * h - p.ProjY / 2.5);
  }
  EXPECT_FALSE(c.view.OutOfView);
  EXPECT_TRUE(left >= 0 && right <= w && top >= 0 && bottom <= h)
      << left << " " << right << " " << top << " " << bottom;
  if (large) {
    EXPECT_TRUE(right - left >= w / 3 || bottom - top >= h / 3) << right - left << " x " << bottom - top;
  }
}

TEST(Framing, RecordingsOpenWholeAndFlugEinpassenFramesAnyFlight) {
  CancelAllDialogs dialogs;
  MainController c(dialogs);
  for (const QString& name : QDir(dataPath(QStringLiteral("igc"))).entryList({QStringLiteral("*.igc")})) {
    try {
      c.openIgcFile(dataPath(QStringLiteral("igc/") + name));
      expectWholeFlightShown(c, name, false);
    } catch (const RunError&) {  // the broken recording keeps the flight before it
    }
  }

  const struct {
    const char* file;
    int azimuth, elevation, width, height;
  } cases[] = {
      {"examples/ng-flug.csv", 0, 20, 650, 400},                              // a logger flight at its home camera
      {"tests/data/igc/tiny-example-western-timejump.igc", 0, 20, 650, 400},  // 324 km from the first fix to the rest
      {"tests/data/igc/crlf-long-southwest-oudie.igc", 135, 60, 1600, 1000},
      {"tests/data/igc/crlf-zero-pressure-xctrack.igc", 270, 0, 300, 200},
      {"tests/data/igc/crlf-southern-midnight-newzealand.igc", 45, 90, 650, 400},
  };
  for (const auto& k : cases) {
    c.openByName(sourcePath(QString::fromLatin1(k.file)));
    c.view.resizeImage(k.width, k.height);
    c.view.turnCamera(k.azimuth, k.elevation - int(c.view.cam.CamE));
    const Camera before = c.view.cam;
    c.view.fitFlight();
    expectWholeFlightShown(c, QString::fromLatin1(k.file), true);
    EXPECT_EQ(c.view.cam.CamE, before.CamE);
    EXPECT_EQ(c.view.cam.CamD, before.CamD);
  }
}

}  // namespace

}  // namespace framing_test
