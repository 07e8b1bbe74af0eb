// Labels over the 3D view never cover one another or a marker: the board on
// random clusters, the strongest thermal's label first, and the renderer on
// the longest real recording with the "Flugphasen" overlay while zooming.
#include "app/core/MainController.h"
#include "common/TestPaths.h"
#include "import/IgcReader.h"
#include "import/ShowFlight.h"
#include "view3d/LabelBoard.h"
#include "view3d/View3D.h"

#include <gtest/gtest.h>

#include <random>

namespace label_placement_test {

using namespace trelvano;

namespace {

// The first pair of `rects` that overlap, or "" when none does.
std::string firstOverlap(const std::vector<QRect>& rects) {
  for (size_t i = 0; i < rects.size(); ++i)
    for (size_t j = i + 1; j < rects.size(); ++j)
      if (rects[i].intersects(rects[j])) return "labels " + std::to_string(i) + " and " + std::to_string(j);
  return {};
}

TEST(LabelBoard, RandomClustersNeverOverlapAndLeaveTheMarkersClear) {
  std::mt19937 rng(7);
  const QSize picture(650, 400);
  for (int round = 0; round < 20; ++round) {
    LabelBoard board;
    board.clear(picture);
    const QRect startLine(10, 380, 300, 15);
    board.reserve(startLine);
    // Markers in a few tight clusters (a thermal seen from afar) and some alone.
    std::vector<QRect> markers;
    std::uniform_int_distribution<int> x(-20, 670), y(-20, 420), spread(-12, 12);
    for (int cluster = 0; cluster < 4; ++cluster) {
      const QPoint centre(x(rng), y(rng));
      for (int k = 0; k < 10; ++k) markers.emplace_back(centre.x() + spread(rng), centre.y() + spread(rng), 11, 10);
    }
    for (int k = 0; k < 10; ++k) markers.emplace_back(x(rng), y(rng), 7, 7);
    for (const QRect& m : markers) board.reserve(m);
    std::uniform_int_distribution<int> width(30, 90);
    for (const QRect& m : markers) {
      const std::optional<QRect> r = board.place(m, QSize(width(rng), 15));
      if (!r) continue;
      EXPECT_TRUE(QRect(QPoint(0, 0), picture).contains(*r));
      EXPECT_FALSE(r->intersects(startLine));
      for (const QRect& other : markers) EXPECT_FALSE(r->intersects(other));
      // Beside its own marker, a gap of 2 pixels off.
      EXPECT_TRUE(r->adjusted(-3, -3, 3, 3).intersects(m));
    }
    EXPECT_EQ(firstOverlap(board.placed()), "");
    EXPECT_EQ(int(board.placed().size()) + board.leftOut(), int(markers.size()));
    EXPECT_GT(board.leftOut(), 0);  // ten markers within 24 pixels cannot all have a label
  }
  // A marker alone has its label to the right, centred.
  LabelBoard board;
  board.clear(picture);
  EXPECT_EQ(board.place(QRect(100, 100, 11, 10), QSize(40, 15)), QRect(113, 97, 40, 15));
}

// A thermal marker with its label at the place of the flight's point `at`.
Thermal thermalAt(const FlightData& d, int at, double climb) {
  Thermal t;
  t.lat = d.FlightPath[at].Lat, t.lon = d.FlightPath[at].Lon, t.altitude = d.FlightPath[at].Altitude;
  t.climb = climb;
  return t;
}

TEST(LabelBoard, TheStrongerThermalIsLabelledFirst) {
  FlightDataPtr data = makeFlightData();
  showFlight(*data, readIgc(readBytes(sourcePath(QStringLiteral("examples/rundflug.igc"))), QStringLiteral("r.igc")));
  View3D view(*data);
  view.fitFlight();
  data->OverlayMode = 7;  // "Flugphasen"
  data->Analysis.valid = true;
  const auto draw = [&](std::vector<Thermal> thermals) {
    data->Analysis.thermals = std::move(thermals);
    view.Grafikupdate();
    EXPECT_FALSE(view.labels().placed().empty());
    return view.labels().placed().front();
  };
  const Thermal weak = thermalAt(*data, 150, 0.4), strong = thermalAt(*data, 150, 3.7);
  const QRect first = draw({strong});
  const QImage alone = view.BackBuffer.copy(first);
  for (const std::vector<Thermal>& both : {std::vector{weak, strong}, std::vector{strong, weak}}) {
    EXPECT_EQ(draw(both), first);
    EXPECT_EQ(view.BackBuffer.copy(first), alone);  // "3,7 m/s" or "3.7 m/s", whichever came first
  }
  draw({weak});
  EXPECT_NE(view.BackBuffer.copy(first), alone);
}

TEST(LabelPlacement, LongestRecordingWithTheFlightPhasesWhileZooming) {
  CancelAllDialogs dialogs;
  MainController core(dialogs);
  core.view.resizeImage(1000, 700);
  core.openIgcFile(dataPath(QStringLiteral("igc/crlf-long-southwest-oudie.igc")));
  core.chooseOverlay(7);
  ASSERT_TRUE(core.data.Analysis.valid);
  ASSERT_GT(core.data.Analysis.thermals.size(), 20u);
  int labelled = 0;
  for (int notches : {0, 3, 3, -6, -4, -4}) {
    if (notches) core.view.zoomByWheel(notches);
    const std::vector<QRect>& placed = core.view.labels().placed();
    EXPECT_EQ(firstOverlap(placed), "") << "after " << notches;
    for (const QRect& r : placed) EXPECT_TRUE(QRect(QPoint(0, 0), core.view.BackBuffer.size()).contains(r));
    labelled += int(placed.size());
  }
  EXPECT_GT(labelled, 20);
}

}  // namespace

}  // namespace label_placement_test
