// The layers of a full redraw, read back from the finished picture.
#include "RenderTestSupport.h"
#include "model/FlightData.h"
#include "model/RunError.h"
#include "view3d/Renderer.h"

#include <QFontMetrics>
#include <QGuiApplication>
#include <gtest/gtest.h>

namespace renderer_layers_test {

using namespace trelvano;

namespace {

constexpr int kW = 650, kH = 400;
constexpr int32_t kInk = 0x00123456;

Layers noLayers() {
  Layers l;
  l.Flugbahn = l.Schatten = l.NordPfeil = l.Gitter = l.Lot = l.Karte = l.VectorKarte = false;
  l.Startkoordinaten = l.Flugweg = false;
  return l;
}

struct Scene {
  Scene() : data(makeFlightData()), picture(blankImage(kW, kH, 0x00000000)) {}
  void draw() { DDDGraf(*data, layers, cam, picture, outOfView); }
  int32_t at(int x, int y) const { return pixelAt(picture, x, y); }
  void place(PointArray& a, int i, int x, int y, int32_t pen, int32_t colour = kInk) {
    placePoint(a[i], x, y, kW, kH, pen, colour);
  }
  FlightDataPtr data;
  Layers layers = noLayers();
  Camera cam;
  QImage picture;
  bool outOfView = false;
};

}  // namespace

TEST(RendererText, StartCoordinatesInDegreesMinutesSeconds) {
  EXPECT_EQ(startCoordinatesText(4807038, 1134567, 512.4),
            QStringLiteral("Startpunkt: Breite: N 48°7'2''   Länge: E 11°34'34''   Höhe: 512m"));
  // South and west print the absolute value; a latitude of 0 counts as south.
  EXPECT_EQ(startCoordinatesText(-3351200, -7038250, -3.5),
            QStringLiteral("Startpunkt: Breite: S 33°51'12''   Länge: W 70°38'15''   Höhe: -4m"));
  EXPECT_EQ(startCoordinatesText(0, 0, 0),
            QStringLiteral("Startpunkt: Breite: S 0°0'0''   Länge: W 0°0'0''   Höhe: 0m"));
  // Seconds round half to even: 0.575' = 34.5'' -> 34; heights too: 2.5 -> 2.
  EXPECT_EQ(startCoordinatesText(4800575, 1100625, 2.5),
            QStringLiteral("Startpunkt: Breite: N 48°0'34''   Länge: E 11°0'38''   Höhe: 2m"));
}

TEST(RendererText, SecondsThatRoundToSixtyCarryIntoTheMinute) {
  EXPECT_EQ(startCoordinatesText(4807995, 1159999, 0),
            QStringLiteral("Startpunkt: Breite: N 48°8'0''   Länge: E 12°0'0''   Höhe: 0m"));
  EXPECT_EQ(startCoordinatesText(4807991, 1134000, 0),
            QStringLiteral("Startpunkt: Breite: N 48°7'59''   Länge: E 11°34'0''   Höhe: 0m"));
}

TEST(RendererLayers, AllLayersOffGiveThePlainBackground) {
  Scene s;
  s.draw();
  EXPECT_EQ(countOf(s.picture, colours::kBackground), kW * kH);
}

TEST(RendererLayers, StartCoordinatesOnWhiteAtTheBottomLeftOnceAFlightIsLoaded) {
  Scene s;
  s.layers.Startkoordinaten = true;
  s.draw();
  for (int y = 0; y < kH; ++y)
    for (int x = 0; x < kW; ++x) ASSERT_EQ(s.at(x, y), colours::kBackground) << "nothing loaded: no start point";
  s.data->HasFlight = true;
  s.data->StartLatRaw = 4807038;
  s.data->StartLonRaw = 1134567;
  s.data->StartAltitude = 512.4;
  s.draw();
  const QFontMetrics fm(QGuiApplication::font());
  const QRect cell(10, kH - 20, fm.horizontalAdvance(startCoordinatesText(4807038, 1134567, 512.4)), fm.height());
  int black = 0;
  for (int y = 0; y < kH; ++y)
    for (int x = 0; x < kW; ++x) {
      const int32_t p = s.at(x, y);
      if (!cell.contains(x, y))
        ASSERT_EQ(p, colours::kBackground) << x << "," << y;
      else if (p == colours::kBlack)
        ++black;
      else
        ASSERT_EQ(p, colours::kWhite) << x << "," << y;
    }
  EXPECT_GT(black, 100);
}

TEST(RendererLayers, TheStartUpStateDrawsWithEveryLayerOn) {
  Scene s;
  Layers all;
  all.Karte = all.VectorKarte = all.Flugweg = true;
  s.layers = all;
  EXPECT_NO_THROW(s.draw());
  s.data->MapDragMode = true;
  EXPECT_NO_THROW(s.draw());
}

TEST(RendererLayers, AnyPictureSizeOrFormatIsDrawnInto) {
  Scene s;
  s.layers = Layers{};
  for (QImage picture : {QImage(), QImage(1, 1, QImage::Format_RGB32), QImage(30, 20, QImage::Format_ARGB32)}) {
    s.picture = picture;
    EXPECT_NO_THROW(s.draw());
    if (!picture.isNull()) {
      EXPECT_EQ(s.picture.format(), QImage::Format_RGB32);
    }
  }
}

TEST(RendererLayers, PlumbLinesStartWithTheSecondShownPoint) {
  Scene s;
  s.layers.Lot = true;
  FlightData& d = *s.data;
  d.LastPoint = 4;
  d.PlumbLast = 9;
  for (int i = 0; i <= 4; ++i) {
    s.place(d.PlumbLines, 2 * i, 100 + 50 * i, 100, kPenMove);
    s.place(d.PlumbLines, 2 * i + 1, 100 + 50 * i, 200, kPenLine, colours::kShadow);
  }
  d.RangeStart = 1;
  d.RangeEnd = 3;
  s.draw();
  EXPECT_EQ(s.at(100, 150), colours::kBackground);  // point 0: outside the section
  EXPECT_EQ(s.at(150, 150), colours::kBackground);  // point RangeStart itself
  EXPECT_EQ(s.at(200, 150), colours::kShadow);
  EXPECT_EQ(s.at(250, 150), colours::kShadow);
  EXPECT_EQ(s.at(300, 150), colours::kBackground);  // beyond RangeEnd
  EXPECT_EQ(countOf(s.picture, colours::kShadow), 2 * 100);
}

TEST(RendererLayers, ShadowCoversTheWholeFlightAndTheFlightOnlyItsSection) {
  Scene s;
  s.layers.Schatten = s.layers.Flugbahn = true;
  FlightData& d = *s.data;
  d.LastPoint = 3;
  for (int i = 0; i <= 3; ++i) {
    s.place(d.ShadowPath, i, 100 + 100 * i, 300, i == 0 ? kPenMove : kPenLine, colours::kShadow);
    s.place(d.FlightPath, i, 100 + 100 * i, 100, i == 0 ? kPenMove : kPenLine, colours::kBlue);
  }
  d.RangeStart = 1;
  d.RangeEnd = 2;
  s.cam.CamY = -999.5;  // within 2000 ± 3000: thick path
  s.draw();
  EXPECT_EQ(countOf(s.picture, colours::kShadow), 300);
  EXPECT_EQ(s.at(250, 100), colours::kBlue);
  EXPECT_EQ(s.at(250, 101), colours::kBlue);
  EXPECT_EQ(s.at(150, 100), colours::kBackground);
  EXPECT_EQ(s.at(350, 100), colours::kBackground);
  s.cam.CamY = -1000;  // |CamY - 2000| = 3000: thin
  s.draw();
  EXPECT_EQ(s.at(250, 100), colours::kBlue);
  EXPECT_EQ(s.at(250, 101), colours::kBackground);
  s.cam.CamY = 4999.5;
  s.draw();
  EXPECT_EQ(s.at(250, 101), colours::kBlue);
  s.cam.CamY = 5000;
  s.draw();
  EXPECT_EQ(s.at(250, 101), colours::kBackground);
}

TEST(RendererLayers, LaterLayersPaintOverEarlierOnes) {
  Scene s;
  s.layers.Gitter = s.layers.Schatten = s.layers.Flugbahn = true;
  FlightData& d = *s.data;
  d.GridLast = 1;
  s.place(d.GridPoints, 0, 200, 50, kPenMove, colours::kGrid);
  s.place(d.GridPoints, 1, 200, 350, kPenLine, colours::kGrid);
  d.LastPoint = d.RangeEnd = 1;
  s.place(d.ShadowPath, 0, 100, 200, kPenMove, colours::kShadow);
  s.place(d.ShadowPath, 1, 300, 200, kPenLine, colours::kShadow);
  s.place(d.FlightPath, 0, 100, 150, kPenMove, colours::kBlue);
  s.place(d.FlightPath, 1, 300, 250, kPenLine, colours::kBlue);
  s.draw();
  EXPECT_EQ(s.at(200, 100), colours::kGrid);
  EXPECT_EQ(s.at(200, 200), colours::kBlue);  // flight over shadow over grid
  EXPECT_EQ(s.at(150, 200), colours::kShadow);
}

TEST(RendererLayers, TheFlugwegLineRunsFromTheSectionStartToTheCursor) {
  Scene s;
  s.layers.Flugweg = true;  // even without the flight path layer
  FlightData& d = *s.data;
  d.LastPoint = d.RangeEnd = 5;
  for (int i = 0; i <= 5; ++i) s.place(d.FlightPath, i, 100 + 50 * i, 100 + 20 * i, i == 0 ? kPenMove : kPenLine);
  d.RangeStart = 1;
  d.CursorPoint = 4;
  s.draw();
  EXPECT_EQ(countOf(s.picture, kInk), 0);
  EXPECT_EQ(countOf(s.picture, colours::kRed), 150);
  EXPECT_EQ(s.at(150, 120), colours::kRed);
  EXPECT_EQ(s.at(300, 180), colours::kBackground);
  EXPECT_FALSE(s.outOfView);
}

TEST(RendererLayers, OutOfViewReflectsTheLastArrayAndTheFlugwegLine) {
  Scene s;
  s.layers.Schatten = s.layers.Flugbahn = true;
  FlightData& d = *s.data;
  d.LastPoint = d.RangeEnd = 1;
  s.place(d.ShadowPath, 0, -50, 200, kPenMove);
  s.place(d.ShadowPath, 1, 100, 200, kPenLine);
  s.place(d.FlightPath, 0, 100, 100, kPenMove);
  s.place(d.FlightPath, 1, kW, kH, kPenLine);  // on the far corner: still in view
  s.draw();
  EXPECT_FALSE(s.outOfView);
  s.layers.Flugweg = true;
  d.CursorPoint = 1;
  d.FlightPath[1].ProjY = projYFor(kH + 1, kH);
  s.draw();
  EXPECT_TRUE(s.outOfView);
}

TEST(RendererLayers, TheMapFrameReplacesTheCellsWhileDragging) {
  Scene s;
  s.layers.Karte = true;
  FlightData& d = *s.data;
  d.MapFrameLast = 1;
  s.place(d.MapFrame, 0, 10, 10, kPenMove, colours::kRed);
  s.place(d.MapFrame, 1, 60, 10, kPenLine, colours::kRed);
  d.MapDragMode = true;
  s.draw();
  EXPECT_EQ(countOf(s.picture, colours::kRed), 50);
  d.MapDragMode = false;
  s.draw();
  EXPECT_EQ(countOf(s.picture, colours::kRed), 0);
}

namespace {
// A 100 × 100 mesh, 4 pixels apart from (50, 0); cell i gets a colour by its parity.
void fillMesh(Scene& s) {
  FlightData& d = *s.data;
  d.MapCellsLast = 9999;
  for (int r = 0; r < 100; ++r)
    for (int c = 0; c < 100; ++c) {
      const int i = r * 100 + c;
      s.place(d.MapCells, i, 50 + 4 * c, 4 * r, kPenMove, (r + c) % 2 ? colours::kGreen : colours::kBlue);
    }
}
}  // namespace

TEST(RendererMap, CellsAreFilledInTheColourOfTheirFirstCorner) {
  Scene s;
  s.layers.Karte = true;
  fillMesh(s);
  s.draw();
  // Cell (10, 20) spans x 130 … 134, y 40 … 44.
  EXPECT_EQ(s.at(132, 42), colours::kBlue);
  EXPECT_EQ(s.at(136, 42), colours::kGreen);
  // The last column and row of entries only close the cells before them.
  EXPECT_EQ(s.at(50 + 4 * 99 + 2, 100), colours::kBackground);
  EXPECT_EQ(s.at(200, 4 * 99 + 2), colours::kBackground);
  EXPECT_EQ(s.at(50 + 4 * 98 + 2, 4 * 98 + 2), colours::kBlue);
}

TEST(RendererMap, CellsWithACornerBeyondTheMarginAreSkipped) {
  for (int farX : {kW + 1000, kW + 1001}) {
    Scene s;
    s.layers.Karte = true;
    fillMesh(s);
    // Entry (50, 50) is a corner of the four cells around (250, 200).
    s.place(s.data->MapCells, 5050, farX, 200, kPenMove, colours::kBlue);
    s.draw();
    const bool drawn = farX <= kW + 1000;
    EXPECT_EQ(s.at(247, 197) != colours::kBackground, drawn) << farX;  // cell (49, 49)
    EXPECT_EQ(s.at(600, 201) != colours::kBackground, drawn) << farX;  // cell (50, 49), stretched out
    EXPECT_EQ(s.at(243, 193), colours::kBlue) << "a cell without that corner";
  }
}

TEST(RendererMap, AVectorStrokeIsCutIntoPolygonsOfAtMostHundredVertices) {
  Scene s;
  s.layers.VectorKarte = true;
  FlightData& d = *s.data;
  d.VectorMapLast = 249;
  // One stroke; vertices 0 … 99 trace a square on the left, 100 … 199 one in
  // the middle, 200 … 249 one on the right. Each polygon takes the colour of its last vertex.
  auto square = [&](int first, int count, int left) {
    for (int k = 0; k < count; ++k) {
      const int side = k * 4 / count, t = (k * 4 % count) * 80 / count;
      const int x = side == 0 ? left + t : side == 1 ? left + 80 : side == 2 ? left + 80 - t : left;
      const int y = side == 0 ? 100 : side == 1 ? 100 + t : side == 2 ? 180 : 180 - t;
      s.place(d.VectorMap, first + k, x, y, first + k == 0 ? kPenMove : kPenLine, kInk);
    }
  };
  square(0, 100, 50);
  square(100, 100, 250);
  square(200, 50, 450);
  d.VectorMap[99].Color = colours::kRed;
  d.VectorMap[199].Color = colours::kGreen;
  d.VectorMap[249].Color = colours::kBlue;
  s.draw();
  EXPECT_EQ(s.at(90, 140), colours::kRed);
  EXPECT_EQ(s.at(290, 140), colours::kGreen);
  EXPECT_EQ(s.at(490, 140), colours::kBlue);
  EXPECT_EQ(s.at(190, 140), colours::kBackground);  // no polygon joins two squares
  EXPECT_EQ(s.at(390, 140), colours::kBackground);
  EXPECT_EQ(countOf(s.picture, kInk), 0);

  // A vertex beyond the margin drops only its own polygon; a move starts a new one.
  d.VectorMap[150].ProjX = projXFor(-1001, kW);
  d.VectorMap[200].Pen = kPenMove;
  d.VectorMap[199].Color = colours::kGreen;
  s.draw();
  EXPECT_EQ(s.at(90, 140), colours::kRed);
  EXPECT_EQ(s.at(290, 140), colours::kBackground);
  EXPECT_EQ(s.at(490, 140), colours::kBlue);
}

TEST(RendererMap, AStartBehindTheViewerDoesNotCloseThePolygonBeforeIt) {
  Scene s;
  s.layers.VectorKarte = true;
  FlightData& d = *s.data;
  d.VectorMapLast = 5;
  const int xs[6] = {100, 200, 200, 100, 300, 300}, ys[6] = {100, 100, 200, 200, 300, 350};
  for (int i = 0; i < 6; ++i) s.place(d.VectorMap, i, xs[i], ys[i], kPenLine, colours::kGreen);
  d.VectorMap[0].Pen = kPenMove;
  d.VectorMap[4].Pen = kPenMoveBehind;  // one polygon of all six vertices
  s.draw();
  EXPECT_EQ(s.at(150, 150), colours::kGreen);
  EXPECT_EQ(s.at(200, 250), colours::kGreen);  // between vertex 3 and 4
}

TEST(RendererErrors, IndexesBeyondTheArraysStopTheRedraw) {
  auto expectRangeError = [](Scene& s) {
    try {
      s.draw();
      ADD_FAILURE() << "no error";
    } catch (const RunError& e) {
      EXPECT_EQ(e.kind(), RunErrorKind::Range);
    }
  };
  {
    Scene s;
    s.layers.Flugbahn = true;
    s.data->RangeEnd = kPointCapacity;
    expectRangeError(s);
  }
  {
    Scene s;
    s.layers.Flugweg = true;
    s.data->CursorPoint = kPointCapacity;
    expectRangeError(s);
  }
  {
    Scene s;
    s.layers.Lot = true;
    s.data->RangeEnd = kMaxFlightPoints;  // its plumb line would end at 131073
    expectRangeError(s);
  }
  {
    Scene s;
    s.layers.Lot = true;
    s.data->RangeEnd = kMaxFlightPoints - 1;
    EXPECT_NO_THROW(s.draw());
  }
}

}  // namespace renderer_layers_test
