#include "overlay/ReplayControl.h"

#include "model/Numbers.h"
#include "overlay/Overlay.h"
#include "overlay/Replay.h"

#include "FlightFixture.h"

#include <string>

namespace replay_control_test {

using namespace trelvano;

// The oracle: a twin flight moved one point at a time by the replay step or the track bar.
class ReplayControlTest : public FlightTest {
 protected:
  FlightDataPtr twinPtr = makeFlightData();
  FlightData& twin = *twinPtr;
  View3D twinView{twin};
  SidePanels twinPanels;

  void SetUp() override {
    std::vector<LocalFix> fixes;
    for (int i = 0; i < 37; ++i) fixes.push_back({i * 10.0, i * 3.0, 100 + i * 2.0, 1.0 + i % 3});
    setFlight(data, fixes);
    setFlight(twin, fixes);
    data.OverlayMode = twin.OverlayMode = kModeFlugweg;
  }
  void expectSameAsTwin() {
    ASSERT_EQ(data.CursorPoint, twin.CursorPoint);
    EXPECT_EQ(pointColours(data), pointColours(twin));
    EXPECT_EQ(panels.trackBarPosition, twinPanels.trackBarPosition);
    EXPECT_EQ(navTexts(panels), navTexts(twinPanels));
  }
};

// Each speed steps what its caption says (5 points a second at 1×), ticks
// no faster than every 40 ms, and a tick is its many single steps, wrap
// included, with one redraw.
TEST_F(ReplayControlTest, EverySpeedIsItsManySingleStepsWithOneRedraw) {
  for (int speed = 0; speed < kReplaySpeedCount; ++speed) {
    const ReplaySpeed& s = kReplaySpeeds[speed];
    EXPECT_EQ(s.pointsPerTick * 1000, 5 * std::stoi(s.caption) * s.intervalMs) << s.caption;
    EXPECT_GE(s.intervalMs, 40) << s.caption;
    Overlay(data, view, panels);
    Overlay(twin, twinView, twinPanels);
    setReplaySpeed(panels, speed);
    for (int tick = 0; tick < 9; ++tick) {  // 9 × 20 points wrap the 37 several times
      const long long redraws = view.redrawCount();
      replayTick(data, view, panels);
      EXPECT_EQ(view.redrawCount(), redraws + 1);
      for (int k = 0; k < s.pointsPerTick; ++k) stepReplay(twin, twinView, twinPanels);
      expectSameAsTwin();
    }
  }
}

// Held is not stopped: the bar's own changes still move nothing; "." and ","
// step as the bar would, and the replay runs on from there. Running, or in
// another overlay, the keys do nothing.
TEST_F(ReplayControlTest, HoldAndStep) {
  Overlay(data, view, panels);
  toggleReplayHold(panels);
  moveTrackBar(data, view, panels, 500);
  for (int direction : {-1, +1, +1, +1, -1}) stepReplayCursor(data, view, panels, direction);
  moveTrackBar(twin, twinView, twinPanels, RoundToInt32(1000.0 / 36 * 2));
  expectSameAsTwin();
  EXPECT_EQ(replayStateText(panels), "angehalten");

  toggleReplayHold(panels);
  stepReplayCursor(data, view, panels, +1);
  replayTick(data, view, panels);
  setReplaySpeed(panels, 4);
  toggleReplayHold(panels);
  data.OverlayMode = 2;
  Overlay(data, view, panels);  // leaving the replay ends the hold; the speed stays
  stepReplayCursor(data, view, panels, +1);
  EXPECT_FALSE(panels.replayHeld || data.CursorPoint != 3 || panels.replaySpeed != 4);
}

// Once the track bar stopped the replay, the space bar runs it on from the
// bar's point; until then it stands, and says so.
TEST_F(ReplayControlTest, SpaceRunsOnAfterTheTrackBarStoppedIt) {
  Overlay(data, view, panels);
  replayTick(data, view, panels);
  takeTrackBar(panels);
  moveTrackBar(data, view, panels, 500);
  EXPECT_FALSE(replayTimerRuns(panels));
  EXPECT_EQ(replayStateText(panels), "angehalten");
  toggleReplayHold(panels);
  EXPECT_TRUE(replayTimerRuns(panels));
  EXPECT_EQ(replayStateText(panels), "");
  replayTick(data, view, panels);
  moveTrackBar(twin, twinView, twinPanels, 500);
  stepReplay(twin, twinView, twinPanels);
  EXPECT_EQ(data.CursorPoint, twin.CursorPoint);
}

}  // namespace replay_control_test
