#include "View3DTestSupport.h"

#include <limits>

using namespace trelvano;

using CameraHolders = ViewTest;
using CameraDrag = ViewTest;

TEST_F(CameraHolders, ClampWrapAndStore) {
  view.RedrawLock = true;
  struct Case { int spin; long long written; int held; double Camera::*value; };
  const Case cases[] = {
      {4, 400, 40, &Camera::CamA},   {4, -30, 330, &Camera::CamA},  {4, 800, 80, &Camera::CamA},
      {4, 360, 360, &Camera::CamA},  {5, 400, 40, &Camera::CamE},   {5, -30, -30, &Camera::CamE},
      {5, -400, -40, &Camera::CamE}, {1, 200000, 100000, &Camera::CamZ},
      {1, -20000, -10000, &Camera::CamZ}, {6, 0, 1, &Camera::CamD}, {6, 5000000, 3000000, &Camera::CamD},
      {2, 1LL << 40, std::numeric_limits<int32_t>::max(), &Camera::CamX}, {3, -77, -77, &Camera::CamY},
  };
  for (const Case& c : cases) {
    view.setSpinEdit(c.spin, c.written);
    EXPECT_EQ(view.spinEdit(c.spin), c.held) << c.spin << " " << c.written;
    EXPECT_EQ(view.cam.*c.value, c.held) << c.spin << " " << c.written;
  }
  EXPECT_EQ(view.redrawCount(), 0);
  EXPECT_THROW(view.setSpinEdit(7, 1), RunError);
}

TEST_F(CameraHolders, OnlyAChangeRunsTheHandlerAndOnlyAnUnlockedOneRedraws) {
  view.cam.CamX = 5.5;
  view.setSpinEdit(2, 0);  // holds 0 already
  EXPECT_EQ(view.cam.CamX, 5.5);
  EXPECT_EQ(view.redrawCount(), 0);
  view.setSpinEdit(2, 12);
  EXPECT_EQ(view.cam.CamX, 12);
  EXPECT_EQ(view.redrawCount(), 1);
  view.setSpinEdit(4, 400);  // the wrapped value is stored and drawn once
  EXPECT_EQ(view.redrawCount(), 2);
}

TEST_F(CameraDrag, LeftButtonTiltsWithinZeroToNinetyAndTurns) {
  view.resetCamera();
  const long long before = view.redrawCount();
  view.pressMouse(0, 100);
  EXPECT_TRUE(d.MapDragMode);
  view.dragMouse(true, false, 0, 200);
  EXPECT_EQ(view.cam.CamE, 90);
  EXPECT_EQ(view.redrawCount(), before + 1);  // six holder writes, one redraw
  view.dragMouse(true, false, 0, 50);
  EXPECT_EQ(view.cam.CamE, 0);
  view.dragMouse(true, false, 400, 50);
  EXPECT_EQ(view.cam.CamA, 40);
  EXPECT_EQ(view.spinEdit(4), 40);
  view.releaseMouse();
  EXPECT_FALSE(d.MapDragMode);
}

TEST_F(CameraDrag, RightButtonStepGrowsWithDistanceAndStopsAtTheEye) {
  view.resetCamera();
  const struct { int startY; double endY; } cases[] = {{0, 25}, {1000, 1015}, {1995, 2000}};
  for (const auto& c : cases) {
    view.setSpinEdit(3, c.startY);
    view.pressMouse(0, 0);
    view.dragMouse(false, true, 0, 1);
    EXPECT_EQ(view.cam.CamY, c.endY) << c.startY;
  }
  view.setSpinEdit(3, 0);
  view.pressMouse(0, 0);
  view.dragMouse(false, true, 1, 0);
  EXPECT_EQ(view.cam.CamX, 9);

  // Far away the holder's integer range bounds the camera instead of an error.
  view.setSpinEdit(3, -2000000000);
  view.dragMouse(false, true, 1, -100);
  EXPECT_EQ(view.cam.CamY, std::numeric_limits<int32_t>::min());
  EXPECT_FALSE(view.RedrawLock);
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

// The wheel moves CamY through its holder: a fifth of the distance per notch,
// never nearer than 10 m, never beyond the holder's 32 bits; one redraw per call.
TEST_F(CameraDrag, WheelStepsWithTheDistanceWithinTheHolder) {
  view.resetCamera();  // CamY 0, CamD 2000: 2000 m from the scene
  struct Step { int notches; int camY; };
  const Step steps[] = {
      {1, 333},       // 2000 / 1.2 = 1666.7 m
      {-1, 0},        // back: 1667 × 1.2 = 2000.4 m, the holder rounds
      {-2, -880},     // 2000 × 1.44
      {60, 1990},     // the nearest 10 m
      {-400, std::numeric_limits<int32_t>::min()},
  };
  for (const Step& s : steps) {
    const long long redraws = view.redrawCount();
    view.zoomByWheel(s.notches);
    EXPECT_EQ(view.spinEdit(3), s.camY) << s.notches;
    EXPECT_EQ(view.cam.CamY, s.camY) << s.notches;
    EXPECT_EQ(view.redrawCount(), redraws + 1) << s.notches;
  }
  const long long redraws = view.redrawCount();
  view.zoomByWheel(0);
  EXPECT_EQ(view.redrawCount(), redraws);

  // Arrow keys: the same turn and tilt as a left-drag, elevation held in 0 … 90.
  view.resetCamera();
  view.turnCamera(-5, 0);
  EXPECT_EQ(view.spinEdit(4), 355);
  view.turnCamera(0, 80);
  EXPECT_EQ(view.cam.CamE, 90);
  view.turnCamera(0, -100);
  EXPECT_EQ(view.cam.CamE, 0);
}
