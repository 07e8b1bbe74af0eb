// Pixel mapping, clipped lines and stroke drawing of one redraw.
#include "RenderTestSupport.h"
#include "model/FlightData.h"
#include "model/RunError.h"
#include "view3d/RenderPass.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace render_pass_test {

using namespace trelvano;

namespace {

constexpr int32_t kInk = 0x00123456;

struct PassFixture {
  explicit PassFixture(int w = 650, int h = 400) : img(blankImage(w, h)), canvas(img), pass(canvas, outOfView) {
    canvas.setPenColor(kInk);
  }
  int32_t at(int x, int y) {
    canvas.flush();
    return pixelAt(img, x, y);
  }
  int inked() {
    canvas.flush();
    return countOf(img, kInk);
  }
  QImage img;
  Canvas canvas;
  bool outOfView = false;
  RenderPass pass;
};

}  // namespace

TEST(RenderToScreen, CentresTheOriginAndMapsGrowingValuesLeftAndUp) {
  PassFixture f;
  EXPECT_EQ(f.pass.OffX, 65);
  EXPECT_EQ(f.pass.OffY, 40);
  EXPECT_EQ(f.pass.ToScreen(0, 0), QPoint(325, 200));
  EXPECT_EQ(f.pass.ToScreen(25, 0), QPoint(315, 200));  // 2.5 units per pixel, to the left
  EXPECT_EQ(f.pass.ToScreen(0, 25), QPoint(325, 190));  // upwards
  EXPECT_EQ(f.pass.ToScreen(-25, -25), QPoint(335, 210));
  // Halves go to the even neighbour: (1.25 + 650) / 2.5 = 260.5 -> 260.
  EXPECT_EQ(f.pass.ToScreen(1.25, 0).x(), 325);
  EXPECT_EQ(f.pass.ToScreen(3.75, 0).x(), 323);     // 261.5 -> 262
  EXPECT_EQ(f.pass.ToScreen(-651.25, 0).x(), 585);  // -0.5 -> 0
  EXPECT_EQ(f.pass.ToScreen(-653.75, 0).x(), 587);  // -1.5 -> -2
  EXPECT_EQ(f.pass.ToScreen(0, -398.75).y(), 360);  // 0.5 -> 0
  EXPECT_FALSE(f.outOfView);
}

TEST(RenderToScreen, HalvesHugeValuesAlongTheirDirection) {
  PassFixture f;
  EXPECT_EQ(f.pass.ToScreen(4e9, 0), f.pass.ToScreen(1e9, 0));
  EXPECT_EQ(f.pass.ToScreen(3e9, -3e9), f.pass.ToScreen(3.75e8, -3.75e8));
  const QPoint far = f.pass.ToScreen(1e300, 1e300);
  EXPECT_LT(far.x(), -100000000);
  EXPECT_LT(far.y(), -100000000);
  EXPECT_TRUE(f.outOfView);
}

TEST(RenderToScreen, RejectsValuesThatAreNotNumbers) {
  PassFixture f;
  const double inf = std::numeric_limits<double>::infinity();
  for (double bad : {inf, -inf, std::nan("")}) {
    try {
      f.pass.ToScreen(bad, 0);
      ADD_FAILURE() << bad;
    } catch (const RunError& e) {
      EXPECT_EQ(e.kind(), RunErrorKind::InvalidFloatOp);
    }
  }
}

TEST(RenderToScreen, OutOfViewBeyondTheBordersButNotOnTheFarBorder) {
  PassFixture f;
  f.pass.ToScreen(projXFor(650, 650), projYFor(400, 400));  // X = W, Y = H
  EXPECT_FALSE(f.outOfView);
  f.pass.ToScreen(projXFor(0, 650), projYFor(0, 400));
  EXPECT_FALSE(f.outOfView);
  f.pass.ToScreen(projXFor(651, 650), 0);
  EXPECT_TRUE(f.outOfView);
  f.outOfView = false;
  f.pass.ToScreen(projXFor(-1, 650), 0);
  EXPECT_TRUE(f.outOfView);
  f.outOfView = false;
  f.pass.ToScreen(0, projYFor(-1, 400));
  EXPECT_TRUE(f.outOfView);
  f.outOfView = false;
  f.pass.ToScreen(0, projYFor(401, 400));
  EXPECT_TRUE(f.outOfView);
  f.pass.ToScreen(0, 0);
  EXPECT_TRUE(f.outOfView) << "never cleared by a point inside";
}

TEST(RenderClip, MovesTheOutsidePointToTheBorderTowardsTheAnchor) {
  PassFixture f(100, 50);
  EXPECT_EQ(f.pass.ClipToImage({-10, 20}, {10, 0}), QPoint(0, 10));
  EXPECT_EQ(f.pass.ClipToImage({150, 10}, {50, 10}), QPoint(99, 10));
  EXPECT_EQ(f.pass.ClipToImage({20, -30}, {20, 10}), QPoint(20, 0));
  EXPECT_EQ(f.pass.ClipToImage({20, 90}, {20, 10}), QPoint(20, 49));
  // Halves round to even: 0.5 -> 0, 1.5 -> 2.
  EXPECT_EQ(f.pass.ClipToImage({-1, 1}, {1, 0}), QPoint(0, 0));
  EXPECT_EQ(f.pass.ClipToImage({-1, 3}, {1, 0}), QPoint(0, 2));
  // Outside on two sides: the x cut first, then the y cut on its result.
  EXPECT_EQ(f.pass.ClipToImage({200, 300}, {10, 10}), QPoint(36, 49));
  EXPECT_EQ(f.pass.ClipToImage({-100, -100}, {10, 10}), QPoint(0, 0));
  const QPoint far = f.pass.ClipToImage({-400000000, 300000000}, {99, 0});
  EXPECT_TRUE(f.pass.inside(far.x(), far.y()));
}

TEST(RenderClip, ClippedLineToDrawsThePartInsideThePicture) {
  {
    PassFixture f(100, 80);
    f.pass.PenMoveTo(10, 40);
    f.pass.ClippedLineTo(20, 40);  // inside -> inside
    EXPECT_EQ(f.inked(), 10);
    EXPECT_EQ(QPoint(f.pass.PenLastX, f.pass.PenLastY), QPoint(20, 40));
  }
  {
    PassFixture f(100, 80);
    f.pass.PenMoveTo(50, 40);
    f.pass.ClippedLineTo(100050, 40);  // inside -> far outside: up to the border pixel, exclusive
    EXPECT_EQ(f.inked(), 49);
    EXPECT_EQ(f.at(98, 40), kInk);
    EXPECT_EQ(QPoint(f.pass.PenLastX, f.pass.PenLastY), QPoint(100050, 40)) << "the unclipped target";
  }
  {
    PassFixture f(100, 80);
    f.pass.PenMoveTo(-1000, 40);
    f.pass.ClippedLineTo(50, 40);  // outside -> inside: from the border
    EXPECT_EQ(f.inked(), 50);
    EXPECT_EQ(f.at(0, 40), kInk);
    EXPECT_EQ(f.at(50, 40), colours::kBackground);
  }
  {
    PassFixture f(100, 80);
    f.pass.PenMoveTo(-10, 40);
    f.pass.ClippedLineTo(-10, 200);  // both ends outside, passing by: nothing
    f.pass.ClippedLineTo(-5, -5);
    f.pass.ClippedLineTo(50, -5);
    EXPECT_EQ(f.inked(), 0);
    f.pass.ClippedLineTo(50, 10);  // from the last unclipped target (50, -5)
    EXPECT_EQ(f.inked(), 10);
    EXPECT_EQ(f.at(50, 0), kInk);
  }
  {
    PassFixture f(100, 80);
    f.pass.PenMoveTo(-10, 40);
    f.pass.ClippedLineTo(200, 40);  // both outside, crossing the picture: the part inside
    EXPECT_EQ(f.inked(), 100);
    EXPECT_EQ(f.at(0, 40), kInk);
    EXPECT_EQ(f.at(99, 40), kInk);
  }
  {
    // X = W counts as outside for clipping.
    PassFixture f(100, 80);
    f.pass.PenMoveTo(90, 5);
    f.pass.ClippedLineTo(100, 5);
    EXPECT_EQ(f.inked(), 9);
  }
}

namespace {
// A short horizontal polyline through the array entries, one point every 20 pixels.
void row(PointArray& a, int first, int count, int y, int32_t pen = kPenLine) {
  for (int k = 0; k < count; ++k) placePoint(a[first + k], 100 + 20 * k, y, 650, 400, k == 0 ? kPenMove : pen, kInk);
}
}  // namespace

TEST(RenderStrokes, DrawsEachSegmentInTheColourOfItsEndPoint) {
  auto data = makeFlightData();
  PointArray& a = data->FlightPath;
  row(a, 0, 4, 100);
  a[2].Color = colours::kRed;
  a[3].Pen = kPenMove;  // a new stroke: no segment 2 -> 3
  row(a, 4, 2, 100);
  PassFixture f;
  f.pass.DrawPointArray(a, 0, 3);
  EXPECT_EQ(f.at(110, 100), kInk);
  EXPECT_EQ(f.at(130, 100), colours::kRed);
  EXPECT_EQ(f.at(150, 100), colours::kBackground);
  EXPECT_FALSE(f.outOfView);
}

TEST(RenderStrokes, TheFirstEntryIsAlwaysAMove) {
  auto data = makeFlightData();
  PointArray& a = data->FlightPath;
  row(a, 0, 4, 100);
  PassFixture f;
  f.pass.PenMoveTo(0, 0);
  f.pass.DrawPointArray(a, 2, 3);
  EXPECT_EQ(f.inked(), 20);
  EXPECT_EQ(f.at(130, 100), colours::kBackground);
}

TEST(RenderStrokes, APointBehindTheViewerBreaksThePath) {
  auto data = makeFlightData();
  PointArray& a = data->FlightPath;
  for (int32_t behindPen : {kPenLineBehind, kPenMoveBehind}) {
    row(a, 0, 6, 100);
    // Point 2 lies behind the viewer: the transform left it at the centre.
    a[2].ProjX = a[2].ProjY = 0;
    a[2].Pen = behindPen;
    PassFixture f;
    f.pass.DrawPointArray(a, 0, 5);
    EXPECT_TRUE(f.outOfView);
    EXPECT_EQ(f.at(110, 100), kInk);                  // 0 -> 1
    EXPECT_EQ(f.at(150, 100), colours::kBackground);  // 2 -> 3 not drawn
    EXPECT_EQ(f.at(170, 100), kInk);                  // 3 -> 4 drawn again
    EXPECT_EQ(f.inked(), 20 + 20 + 20) << "nothing towards the centre";
  }
}

TEST(RenderStrokes, OutOfViewIsClearedAtTheStartOfEachArray) {
  auto data = makeFlightData();
  row(data->FlightPath, 0, 3, 100);
  PassFixture f;
  f.outOfView = true;
  f.pass.DrawPointArray(data->FlightPath, 0, 2);
  EXPECT_FALSE(f.outOfView);
  data->FlightPath[1].ProjX = 1e6;  // far left
  f.pass.DrawPointArray(data->FlightPath, 0, 2);
  EXPECT_TRUE(f.outOfView);
  f.pass.DrawPointArray(data->FlightPath, 5, 4);  // empty range still clears it
  EXPECT_FALSE(f.outOfView);
}

TEST(RenderStrokes, APointThatIsNotANumberStopsAfterTheSegmentsBeforeIt) {
  auto data = makeFlightData();
  PointArray& a = data->FlightPath;
  // A zigzag of 600 points, one row down every second point: more than one block of work.
  for (int i = 0; i < 600; ++i)
    placePoint(a[i], i % 2 ? 120 : 100, 100 + i / 2, 650, 400, i ? kPenLine : kPenMove, kInk);
  a[300].ProjY = std::nan("");
  PassFixture f;
  try {
    f.pass.DrawPointArray(a, 0, 599);
    ADD_FAILURE() << "no error";
  } catch (const RunError& e) {
    EXPECT_EQ(e.kind(), RunErrorKind::InvalidFloatOp);
  }
  // The zigzag is drawn down to point 299 (row 249) and no further.
  EXPECT_EQ(f.at(110, 248), kInk);
  for (int x = 100; x <= 120; ++x) EXPECT_NE(f.at(x, 251), kInk) << x;
  EXPECT_EQ(QPoint(f.pass.PenLastX, f.pass.PenLastY), QPoint(120, 249));
}

TEST(RenderStrokes, IndexesOutsideTheArrayRaiseTheRangeError) {
  auto data = makeFlightData();
  PassFixture f;
  EXPECT_THROW(f.pass.DrawPointArray(data->FlightPath, 0, kPointCapacity), RunError);
  EXPECT_THROW(f.pass.DrawPointArray(data->FlightPath, -1, 3), RunError);
  EXPECT_NO_THROW(f.pass.DrawPointArray(data->FlightPath, 0, kPointCapacity - 1));
  EXPECT_NO_THROW(f.pass.DrawPointArray(data->FlightPath, 0, -1));
}

}  // namespace render_pass_test
