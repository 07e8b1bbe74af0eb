// The mouse on the chart: probe, measurement line, right-drag selection,
// double click, and two charts sharing the drag state.
#include "ChartTestSupport.h"

#include "chart/core/ChartScale.h"
#include "canvas/Canvas.h"

namespace chart_mouse_test {

using namespace trelvano;

using namespace chart_colours;
using colours::kWhite;
constexpr int32_t kGrey = kOutsideSection;
constexpr int32_t kGrid = kMarks;

namespace {

constexpr Qt::MouseButtons kLeft = Qt::LeftButton;
constexpr Qt::MouseButtons kRight = Qt::RightButton;
constexpr Qt::MouseButtons kNone = Qt::NoButton;

// A 300-point flight (index = round(299 / 778 × column)) with "Höhe" ticked.
struct MouseFixture : ChartFixture {
  MouseFixture() {
    makeFlight(300);
    tickGps({kGpsH});
    view->open();
  }
  void rightDrag(QPoint from, std::initializer_list<QPoint> moves, QPoint release) {
    view->pressMouse(kRight, from.x(), from.y());
    for (QPoint p : moves) view->dragMouse(kRight, p.x(), p.y());
    view->releaseMouse(kNone, release.x(), release.y());
  }
};

}  // namespace

TEST(ChartProbe, TimeAtTheWindowsEdges) {
  MouseFixture f;
  for (int i = 1; i < 300; ++i) f.d.FlightPath[i].TimeStep = 0.5 + (i % 3);  // 1.5, 2.5, 0.5, …
  auto sum = [&](int from, int to) {
    double s = 0;
    for (int j = from; j <= to; ++j) s += f.d.FlightPath[j].TimeStep;
    return s;
  };
  EXPECT_DOUBLE_EQ(f.view->PunktZeit(0), 0);
  EXPECT_DOUBLE_EQ(f.view->PunktZeit(778), sum(1, 299));
  f.d.RangeStart = 40;
  f.d.RangeEnd = 90;
  f.view->setZoomTicked(true);
  EXPECT_DOUBLE_EQ(f.view->PunktZeit(0), sum(1, 40));
  EXPECT_DOUBLE_EQ(f.view->PunktZeit(778), sum(1, 40) + sum(41, 90));
  EXPECT_DOUBLE_EQ(f.view->PunktZeit(389), sum(1, 40) + sum(41, 90) / 2);
}

TEST(ChartProbe, PressMarksTimeAlwaysAndValueOnlyOnTheCommonScale) {
  MouseFixture f;
  auto horizontalMark = [&f](int x, int y) {
    int grey = 0;
    for (int px = x - 20; px < x - 2; ++px) grey += f.pixel(px, y) == kGrid;
    return grey;
  };
  f.view->pressMouse(kLeft, 400, 120);
  EXPECT_GT(horizontalMark(400, 120), 3);
  EXPECT_EQ(f.pixel(400, 5), kGrid);  // the dotted line starts on the top margin
  EXPECT_EQ(f.state.MeasureStart, QPoint(400, 120));
  EXPECT_DOUBLE_EQ(f.state.MeasureV0, f.view->PunktWert(120));

  f.view->setScaleIndex(1);
  f.view->pressMouse(kLeft, 400, 120);
  EXPECT_EQ(horizontalMark(400, 120), 0);
  EXPECT_EQ(f.pixel(400, 5), kGrid);

  f.view->setScaleIndex(0);
  f.view->setGpsTicked(kGpsH, false);  // no curve: no range gathered
  f.view->pressMouse(kLeft, 400, 120);
  EXPECT_EQ(horizontalMark(400, 120), 0);
}

TEST(ChartProbe, MeasurementLineIsErasedByDrawingItAgain) {
  MouseFixture f;
  const int w = f.view->width();
  f.view->pressMouse(kLeft, 100, 250);
  QImage expected = f.view->image;
  {
    Canvas canvas(expected);
    canvas.setPenColor(kGrid);
    canvas.setPenMode(PenMode::Xor);
    canvas.moveTo(100, 250);
    canvas.lineTo(400, 200);
  }
  f.view->dragMouse(kLeft, 300, 100);
  f.view->dragMouse(kLeft, 400, 200);
  EXPECT_TRUE(f.state.MeasureLineShown);
  EXPECT_EQ(f.state.MeasureEnd, QPoint(400, 200));
  EXPECT_DOUBLE_EQ(f.state.MeasureT1, f.view->PunktZeit(400));
  // Everything but the texts in the top right corner shows only the last line.
  int differing = 0, texts = 0;
  for (int y = 0; y < f.view->height(); ++y)
    for (int x = 0; x < w; ++x) {
      const bool text = x >= w - 100 && y < 45;
      const bool same = f.view->image.pixel(x, y) == expected.pixel(x, y);
      (text ? texts : differing) += !same;
    }
  EXPECT_EQ(differing, 0);
  EXPECT_GT(texts, 0);
}

TEST(ChartSelection, OnlyARightAndDownDragSelects) {
  const struct {
    const char* what;
    QPoint press;
    std::vector<QPoint> moves;
    QPoint release;
    int rangeStart, rangeEnd;  // -1: unchanged
  } cases[] = {
      {"right and down", {100, 50}, {{250, 100}, {400, 200}}, {400, 200}, 38, 154},
      {"right and up", {100, 200}, {{400, 50}}, {400, 50}, -1, -1},
      {"left and down", {400, 50}, {{100, 200}}, {100, 200}, -1, -1},
      {"left and up", {400, 200}, {{100, 50}}, {100, 50}, -1, -1},
      {"a click", {100, 50}, {}, {100, 50}, -1, -1},
      {"released past the last point", {100, 50}, {{500, 200}}, {900, 250}, 38, 299},
      {"onto the bottom row", {100, 50}, {{300, 200}, {350, 304}}, {360, 320}, 38, 135},
      {"onto the right column", {100, 50}, {{300, 200}, {777, 220}}, {777, 220}, 38, 299},
      {"out of the image in one move", {100, 50}, {{900, 400}}, {900, 400}, 38, 299},
  };
  for (const auto& c : cases) {
    MouseFixture f;
    f.view->pressMouse(kRight, c.press.x(), c.press.y());
    const QImage pressed = f.view->image;
    for (QPoint p : c.moves) f.view->dragMouse(kRight, p.x(), p.y());
    f.view->releaseMouse(kNone, c.release.x(), c.release.y());
    EXPECT_FALSE(f.state.DragRectShown) << c.what;
    if (c.rangeStart < 0) {
      EXPECT_EQ(f.d.RangeStart, 0) << c.what;
      EXPECT_EQ(f.d.RangeEnd, 299) << c.what;
      EXPECT_TRUE(f.view->image == pressed) << c.what << ": no rectangle left";
      EXPECT_EQ(f.view->controls.Label[0], QStringLiteral("Label1")) << c.what;
    } else {
      EXPECT_EQ(f.d.RangeStart, c.rangeStart) << c.what;
      EXPECT_EQ(f.d.RangeEnd, c.rangeEnd) << c.what;
      EXPECT_TRUE(f.view->controls.zoomEnabled) << c.what;
      EXPECT_EQ(f.state.SelTop, 304 - 50) << c.what;
    }
  }
}

TEST(ChartSelection, BandLabelsAndAZoomedSelectionRefinesTheSection) {
  MouseFixture f;  // "Höhe" 0 … 299 on the common scale
  f.rightDrag({100, 50}, {{400, 200}}, {400, 200});
  EXPECT_EQ(f.state.SelTop, 254);
  EXPECT_EQ(f.state.SelBottom, 104);
  const QString expected[6] = {"max: 299",
                               "min: 0",
                               "maxmax: 254",
                               "minmin: 104",
                               "max1: " + formatGeneral(299.0 * 254 / 305),
                               "min1: " + formatGeneral(299.0 * 104 / 305)};
  for (int k = 0; k < 6; ++k) EXPECT_EQ(f.view->controls.Label[k], expected[k]);
  // The band is white in the grey outside the section.
  EXPECT_EQ(f.pixel(300, 49), kGrey);
  EXPECT_EQ(f.pixel(300, 50), kWhite);

  f.view->doubleClickChart();  // zoom in on points 38 … 154
  EXPECT_TRUE(f.view->controls.zoomTicked);
  f.rightDrag({0, 50}, {{389, 200}}, {389, 200});
  EXPECT_EQ(f.d.RangeStart, 38);
  EXPECT_EQ(f.d.RangeEnd, 96);  // round(116 / 778 × 389 + 38)
  f.view->doubleClickChart();
  EXPECT_FALSE(f.view->controls.zoomTicked);

  f.d.RangeStart = 0;
  f.d.RangeEnd = 299;
  f.view->GrafikUpdate();
  f.view->doubleClickChart();  // the whole flight: nothing to zoom
  EXPECT_FALSE(f.view->controls.zoomTicked);
}

TEST(ChartSelection, TwoChartsShareTheDragState) {
  MouseFixture f;
  ChartView other(f.d, f.state);
  other.controls.gpsTicked[kGpsH] = true;
  other.open();
  f.view->pressMouse(kRight, 100, 50);
  f.view->dragMouse(kRight, 300, 150);
  EXPECT_TRUE(other.chart.DragRectShown);
  other.releaseMouse(kNone, 400, 200);  // released over the other window
  EXPECT_EQ(f.d.RangeStart, 38);
  EXPECT_EQ(f.d.RangeEnd, 154);
  EXPECT_EQ(other.controls.Label[2], QStringLiteral("maxmax: 254"));
  EXPECT_EQ(f.view->controls.Label[2], QStringLiteral("Label3"));
  other.pressMouse(kLeft, 200, 100);
  EXPECT_EQ(f.state.MeasureStart, QPoint(200, 100));
}

}  // namespace chart_mouse_test
