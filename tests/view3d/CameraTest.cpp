#include "View3DTestSupport.h"

#include <limits>

namespace camera_test {

using namespace trelvano;

using CameraDrag = ViewTest;

// A settled camera: whole numbers in each value's range, azimuth and
// elevation wrapped in steps of 360.
TEST(CameraValue, SettlesToWholeNumbersInRange) {
  struct Case {
    double written, held;
    double Camera::*value;
  };
  const Case cases[] = {
      {400, 40, &Camera::CamA},
      {-30, 330, &Camera::CamA},
      {800, 80, &Camera::CamA},
      {360, 360, &Camera::CamA},
      {400, 40, &Camera::CamE},
      {-30, -30, &Camera::CamE},
      {-400, -40, &Camera::CamE},
      {200000, 100000, &Camera::CamZ},
      {-20000, -10000, &Camera::CamZ},
      {0, 1, &Camera::CamD},
      {5000000, 3000000, &Camera::CamD},
      {1e12, std::numeric_limits<int32_t>::max(), &Camera::CamX},
      {-77.5, -78, &Camera::CamY},
      {2.5, 2, &Camera::CamX},
      {1e300, std::numeric_limits<int32_t>::max(), &Camera::CamY},
  };
  for (const Case& c : cases) {
    Camera cam;
    cam.*c.value = c.written;
    EXPECT_EQ(cam.settled().*c.value, c.held) << c.written;
  }
  Camera broken;
  broken.CamZ = std::numeric_limits<double>::infinity();
  EXPECT_THROW(broken.settled(), RunError);
  EXPECT_EQ(Camera{}.settled(), Camera{});
}

TEST_F(CameraDrag, LeftButtonTiltsWithinZeroToNinetyAndTurns) {
  view.resetCamera();
  const long long before = view.redrawCount();
  view.pressMouse(0, 100);
  EXPECT_TRUE(d.MapDragMode);
  view.dragMouse(true, false, 0, 200);
  EXPECT_EQ(view.cam.CamE, 90);
  EXPECT_EQ(view.redrawCount(), before + 1);
  view.dragMouse(true, false, 0, 50);
  EXPECT_EQ(view.cam.CamE, 0);
  view.dragMouse(true, false, 400, 50);
  EXPECT_EQ(view.cam.CamA, 40);
  view.releaseMouse();
  EXPECT_FALSE(d.MapDragMode);
}

TEST_F(CameraDrag, RightButtonStepGrowsWithDistanceAndStopsAtTheEye) {
  view.resetCamera();
  const struct {
    int startY;
    double endY;
  } cases[] = {{0, 25}, {1000, 1015}, {1995, 2000}};
  for (const auto& c : cases) {
    view.cam.CamY = c.startY;
    view.pressMouse(0, 0);
    view.dragMouse(false, true, 0, 1);
    EXPECT_EQ(view.cam.CamY, c.endY) << c.startY;
  }
  view.cam.CamY = 0;
  view.pressMouse(0, 0);
  view.dragMouse(false, true, 1, 0);
  EXPECT_EQ(view.cam.CamX, 9);

  // Far away the camera's integer range bounds it instead of an error.
  view.cam.CamY = -2000000000;
  view.dragMouse(false, true, 1, -100);
  EXPECT_EQ(view.cam.CamY, std::numeric_limits<int32_t>::min());
}

TEST_F(CameraDrag, BlockedMovesAndBothButtons) {
  view.resetCamera();
  const Camera home = view.cam;
  const long long before = view.redrawCount();
  view.dragMouse(true, true, 50, 50);  // no press since the file dialog
  view.pressMouse(0, 100);
  view.dragMouse(false, false, 30, 130);  // no button: nothing
  EXPECT_EQ(view.redrawCount(), before);
  EXPECT_EQ(view.cam.CamE, home.CamE);
  view.dragMouse(true, true, 10, 110);  // the left button takes the move
  EXPECT_EQ(view.cam.CamE, home.CamE + 10);
  EXPECT_EQ(view.cam.CamA, 10);
  EXPECT_EQ(view.cam.CamY, home.CamY);
  EXPECT_EQ(view.cam.CamX, home.CamX);

  d.HideMapWhileDragging = false;
  view.releaseMouse();
  view.pressMouse(0, 0);
  EXPECT_FALSE(d.MapDragMode);
}

// The wheel moves CamY: a fifth of the distance per notch, never nearer than
// 10 m, never beyond its 32 bits; one redraw per call.
TEST_F(CameraDrag, WheelStepsWithTheDistanceWithinTheHolder) {
  view.resetCamera();  // CamY 0, CamD 2000: 2000 m from the scene
  struct Step {
    int notches;
    int camY;
  };
  const Step steps[] = {
      {1, 333},    // 2000 / 1.2 = 1666.7 m
      {-1, 0},     // back: 1667 × 1.2 = 2000.4 m, settled to whole metres
      {-2, -880},  // 2000 × 1.44
      {60, 1990},  // the nearest 10 m
      {-400, std::numeric_limits<int32_t>::min()},
  };
  for (const Step& s : steps) {
    const long long redraws = view.redrawCount();
    view.zoomByWheel(s.notches);
    EXPECT_EQ(view.cam.CamY, s.camY) << s.notches;
    EXPECT_EQ(view.redrawCount(), redraws + 1) << s.notches;
  }
  const long long redraws = view.redrawCount();
  view.zoomByWheel(0);
  EXPECT_EQ(view.redrawCount(), redraws);

  // Arrow keys: the same turn and tilt as a left-drag, elevation held in 0 … 90.
  view.resetCamera();
  view.turnCamera(-5, 0);
  EXPECT_EQ(view.cam.CamA, 355);
  view.turnCamera(0, 80);
  EXPECT_EQ(view.cam.CamE, 90);
  view.turnCamera(0, -100);
  EXPECT_EQ(view.cam.CamE, 0);
}

}  // namespace camera_test
