#include "View3DTestSupport.h"

#include "../../bench/SyntheticFlight.h"

#include <limits>

namespace view3_d_test {

using namespace trelvano;

TEST_F(ViewTest, GridSpacingFollowsTheDistanceBand) {
  EXPECT_EQ(d.GridPoints[0].X, -2000);  // built at start-up
  const struct {
    double camY, gridStart;
  } steps[] = {{-8000, -20000}, {-6000, -20000}, {6000, -2000}, {-6000, -2000}, {11001, -20000}};
  for (const auto& s : steps) {
    view.cam.CamY = s.camY;
    view.Grafikupdate();
    EXPECT_EQ(d.GridPoints[0].X, s.gridStart) << s.camY;
  }
}

TEST_F(ViewTest, HomePositionAndRecentring) {
  d.MaxAltitude = 1200;
  view.cam.CamY = 700;
  view.cam.CamA = 30;
  view.resetCamera();
  EXPECT_EQ(view.cam.CamZ, 300);
  EXPECT_EQ(view.cam.CamY, 0);
  EXPECT_EQ(view.cam.CamA, 0);
  EXPECT_EQ(view.cam.CamE, 20);
  EXPECT_EQ(view.cam.CamD, 2000);
  d.MaxAltitude = 3000;
  view.resetCamera();
  EXPECT_EQ(view.cam.CamZ, 0);

  view.cam.CamX = 150;
  view.cam.CamZ = 250;
  const Camera before = view.cam;
  const long long redraws = view.redrawCount();
  view.aimAtStart();
  EXPECT_EQ(view.cam.CamX, 0);
  EXPECT_EQ(view.cam.CamZ, 0);
  for (double Camera::*kept : {&Camera::CamY, &Camera::CamA, &Camera::CamE, &Camera::CamD})
    EXPECT_EQ(view.cam.*kept, before.*kept);
  EXPECT_EQ(view.redrawCount(), redraws + 1);

  // A camera that cannot be settled fails the command; the next one still redraws.
  d.MaxAltitude = -std::numeric_limits<double>::infinity();
  EXPECT_THROW(view.resetCamera(), RunError);
  d.MaxAltitude = 0;
  view.resetCamera();
  EXPECT_EQ(view.redrawCount(), redraws + 2);
}

TEST_F(ViewTest, AutozoomStepsBackUntilTheFlightFits) {
  view.resetCamera();
  view.Autozoom();  // the single start-up point sits in the middle
  EXPECT_FALSE(view.OutOfView);
  EXPECT_EQ(view.cam.CamY, 0);

  d.LastPoint = d.RangeEnd = 1;
  d.FlightPath[1].X = 3000;  // 3 km west: in the picture from 10 km back
  d.FlightPath[1].Pen = kPenLine;
  view.Grafikupdate();
  ASSERT_TRUE(view.OutOfView);
  view.Autozoom();
  EXPECT_EQ(view.cam.CamY, -10000);
  EXPECT_FALSE(view.OutOfView);

  view.resetCamera();
  d.FlightPath[1].X = 1e6;
  view.Grafikupdate();
  view.Autozoom();
  EXPECT_EQ(view.cam.CamY, -50000);
  EXPECT_TRUE(view.OutOfView);
}

TEST_F(ViewTest, LayerTogglesAndResize) {
  const long long before = view.redrawCount();
  view.toggleLayer(&Layers::FollowReplay);
  EXPECT_TRUE(view.layers.FollowReplay);
  EXPECT_EQ(view.redrawCount(), before);
  view.toggleLayer(&Layers::Gitter);
  EXPECT_FALSE(view.layers.Gitter);
  EXPECT_EQ(view.redrawCount(), before + 1);

  view.resizeImage(800, 500);
  EXPECT_EQ(view.BackBuffer.size(), QSize(800, 500));
  EXPECT_EQ(view.redrawCount(), before + 2);
  view.resizeImage(-20, 0);  // a window smaller than its frame
  EXPECT_EQ(view.BackBuffer.size(), QSize(1, 1));
}

// Projecting without painting leaves OutOfView exactly as the painted
// picture does, for every layer choice and many cameras, and paints nothing.
TEST(ViewMeasure, OutOfViewAsThePaintedPictureLeavesIt) {
  FlightDataPtr owner = makeSyntheticFlight(kHighFlight, 3000);
  FlightData& d = *owner;
  View3D painted(d), measured(d);
  bool Layers::*const items[] = {&Layers::Flugbahn, &Layers::Schatten,  &Layers::Lot,
                                 &Layers::Gitter,   &Layers::NordPfeil, &Layers::Flugweg};
  int differentOutcomes = 0;
  for (int k = 0; k < 400; ++k) {
    Layers layers;
    for (int i = 0; i < 6; ++i) layers.*items[i] = (k >> i) & 1;
    Camera cam;
    cam.CamY = -60000 + (k * 7919) % 62000;
    cam.CamA = (k * 37) % 360;
    cam.CamE = (k * 13) % 91;
    cam.CamX = (k % 5 - 2) * 3000.0;
    painted.layers = measured.layers = layers;
    painted.cam = measured.cam = cam;
    painted.Grafikupdate();
    const long long pictures = measured.redrawCount();
    measured.redrawOnceAfter([&] {
      measured.Grafikupdate();
      ASSERT_EQ(measured.OutOfView, painted.OutOfView) << k;
      measured.layers.Gitter = !measured.layers.Gitter;  // asks again: still one picture
      measured.Grafikupdate();
    });
    EXPECT_EQ(measured.redrawCount(), pictures + 1);
    differentOutcomes += painted.OutOfView;
  }
  EXPECT_GT(differentOutcomes, 50);
  EXPECT_LT(differentOutcomes, 350);
}

}  // namespace view3_d_test
