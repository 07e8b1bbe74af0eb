#include "overlay/ReplayControl.h"

#include "overlay/Overlay.h"
#include "overlay/Replay.h"

#include "model/Numbers.h"

#include "FlightFixture.h"

#include <string>

class ReplayControlTest : public FlightTest {
 protected:
  // The oracle: a twin flight replayed one point per step.
  FlightDataPtr twinPtr = makeFlightData();
  FlightData& twin = *twinPtr;
  View3D twinView{twin};
  SidePanels twinPanels;

  void SetUp() override {
    std::vector<Fix> fixes;
    for (int i = 0; i < 37; ++i) fixes.push_back({i * 10.0, i * 3.0, 100 + i * 2.0, 1.0 + i % 3});
    setFlight(data, fixes);
    setFlight(twin, fixes);
  }
  void restart(FlightData& d, View3D& v, SidePanels& p) {
    d.OverlayMode = kModeFlugweg;
    Overlay(d, v, p);
  }
};

// Every speed steps what its caption promises (5 points a second at 1×), no
// tick comes sooner than every 40 ms, and a tick ends where as many single
// steps end, wrap included, after one redraw.
TEST_F(ReplayControlTest, EverySpeedIsItsManySingleStepsWithOneRedraw) {
  for (int speed = 0; speed < kReplaySpeedCount; ++speed) {
    const ReplaySpeed& s = kReplaySpeeds[speed];
    EXPECT_EQ(s.pointsPerTick * 1000, 5 * std::stoi(s.caption) * s.intervalMs) << s.caption;
    EXPECT_GE(s.intervalMs, 40) << s.caption;
    restart(data, view, panels);
    restart(twin, twinView, twinPanels);
    setReplaySpeed(panels, speed);
    for (int tick = 0; tick < 9; ++tick) {  // 9 × 20 points wrap the 37 several times
      const long long redraws = view.redrawCount();
      replayTick(data, view, panels);
      EXPECT_EQ(view.redrawCount(), redraws + 1);
      for (int k = 0; k < s.pointsPerTick; ++k) Timer2Timer(twin, twinView, twinPanels);
      ASSERT_EQ(data.CursorPoint, twin.CursorPoint) << s.caption << " tick " << tick;
      EXPECT_EQ(pointColours(data), pointColours(twin));
      EXPECT_EQ(panels.trackBarPosition, twinPanels.trackBarPosition);
      EXPECT_EQ(navTexts(panels), navTexts(twinPanels));
    }
  }
}

// Held is not stopped: the track bar's own changes still move nothing, "." and
// "," step the cursor as the bar would (kept within the flight), and the
// replay runs on from there. Running, or in another overlay, the keys do nothing.
TEST_F(ReplayControlTest, HoldAndStep) {
  restart(data, view, panels);
  restart(twin, twinView, twinPanels);
  toggleReplayHold(panels);
  EXPECT_EQ(replayStateText(panels), "angehalten");
  TrackBar1Change(data, view, panels, 500);
  for (int direction : {-1, +1, +1, +1, -1}) stepReplayCursor(data, view, panels, direction);
  TrackBar1Enter(twinPanels);
  TrackBar1Change(twin, twinView, twinPanels, RoundToInt32(1000.0 / 36 * 2));
  EXPECT_EQ(data.CursorPoint, 2);
  EXPECT_EQ(pointColours(data), pointColours(twin));
  EXPECT_EQ(navTexts(panels), navTexts(twinPanels));
  EXPECT_EQ(panels.trackBarPosition, twinPanels.trackBarPosition);

  toggleReplayHold(panels);
  stepReplayCursor(data, view, panels, +1);
  replayTick(data, view, panels);
  EXPECT_EQ(data.CursorPoint, 3);
  data.CursorPoint = 36;
  toggleReplayHold(panels);
  stepReplayCursor(data, view, panels, +1);
  EXPECT_EQ(data.CursorPoint, 36);

  setReplaySpeed(panels, 4);
  restart(data, view, panels);  // a new start is never held; the speed stays
  EXPECT_TRUE(replayTimerRuns(panels));
  EXPECT_EQ(replayStateText(panels), QString::fromUtf8("Tempo 25×"));
  data.OverlayMode = 2;
  Overlay(data, view, panels);
  toggleReplayHold(panels);
  stepReplayCursor(data, view, panels, +1);
  EXPECT_FALSE(panels.replayHeld || data.CursorPoint != 0);
}
