#include "view3d/Transform.h"

#include <gtest/gtest.h>

namespace grid_test {

using namespace trelvano;

namespace {
void expectGround(const FlightPoint& p, double x, double y, int32_t pen, const char* what) {
  EXPECT_EQ(p.X, x) << what;
  EXPECT_EQ(p.Y, y) << what;
  EXPECT_EQ(p.Z, 0) << what;
  EXPECT_EQ(p.Pen, pen) << what;
}
}  // namespace

TEST(Grid, SquareOfFortyOneLinesEachWayInTenSegments) {
  const FlightDataPtr d = makeFlightData();
  for (int32_t a : {100, 1000}) {
    d->GridPoints[451].Color = 0x123456;  // a move point keeps its colour
    GitterPfeil(*d, a);
    EXPECT_EQ(d->GridLast, 901);
    const PointArray& g = d->GridPoints;
    expectGround(g[0], -20 * a, -20 * a, kPenMove, "first line start");
    expectGround(g[10], -20 * a, 20 * a, kPenLine, "first line end");
    expectGround(g[451], -20 * a, -20 * a, kPenMove, "first east-west line");
    expectGround(g[461], 20 * a, -20 * a, kPenLine, "its end");
    expectGround(g[901], 20 * a, 20 * a, kPenLine, "last point");
    EXPECT_EQ(g[451].Color, 0x123456);
    for (int n = 0; n < 82; ++n)
      for (int j = 1; j <= 10; ++j) {
        const FlightPoint &p = g[11 * n + j], &q = g[11 * n + j - 1];
        const bool northSouth = n < 41;
        EXPECT_EQ(northSouth ? p.Y - q.Y : p.X - q.X, 4 * a) << n << " " << j;
        EXPECT_EQ(northSouth ? p.X - q.X : p.Y - q.Y, 0) << n << " " << j;
        EXPECT_EQ(p.Color, colours::kGrid);
      }
  }
}

TEST(Grid, ArrowOutlineAndOddSpacing) {
  const FlightDataPtr d = makeFlightData();
  GitterPfeil(*d, 1000);
  const PointArray& arrow = d->ArrowPoints;
  EXPECT_EQ(d->ArrowLast, 7);
  expectGround(arrow[3], 0, 3000, kPenLine, "tip");
  expectGround(arrow[0], -500, 0, kPenMove, "tail");
  expectGround(arrow[5], 500, 2000, kPenLine, "shaft corner");
  expectGround(arrow[7], -500, 0, kPenLine, "closed");
  for (int i = 0; i <= 7; ++i) EXPECT_EQ(arrow[i].Color, colours::kDarkGreen);

  GitterPfeil(*d, 101);  // the half width truncates: shaft 100 wide, head 202
  EXPECT_EQ(arrow[1].X, -50);
  EXPECT_EQ(arrow[6].X, 50);
  EXPECT_EQ(arrow[2].X, -101);
  EXPECT_EQ(arrow[3].Y, 303);
}

TEST(Grid, SpacingTooLargeForIntegersStopsWithOverflow) {
  const FlightDataPtr d = makeFlightData();
  try {
    GitterPfeil(*d, 200000000);
    FAIL();
  } catch (const RunError& e) {
    EXPECT_EQ(e.kind(), RunErrorKind::IntOverflow);
  }
  EXPECT_EQ(d->GridLast, 0);
}

}  // namespace grid_test
