#include "overlay/ReplayControl.h"

#include "overlay/Overlay.h"
#include "overlay/Replay.h"

#include "model/Numbers.h"

#include "FlightFixture.h"

#include <cmath>
#include <string>

namespace {

// A twin of the flight under test that replays one point per step: the oracle
// a faster tick must match after the same number of points.
struct Replayed {
  FlightDataPtr dataPtr = makeFlightData();
  FlightData& data = *dataPtr;
  View3D view{data};
  SidePanels panels;
};

std::vector<Fix> climbingFixes(int count) {
  std::vector<Fix> fixes;
  for (int i = 0; i < count; ++i) fixes.push_back({i * 10.0, i * 3.0, 100 + i * 2.0, 1.0 + i % 3});
  return fixes;
}

void startReplay(FlightData& data, View3D& view, SidePanels& panels) {
  data.OverlayMode = kModeFlugweg;
  Overlay(data, view, panels);
}

}  // namespace

class ReplayControlTest : public FlightTest {
 protected:
  void SetUp() override {
    setFlight(data, climbingFixes(37));
    startReplay(data, view, panels);
  }
};

// Every speed steps what its caption promises (5 points a second at 1×),
// never faster than a tick per 40 ms, and a tick ends where as many single
// steps end, wrap included, with one redraw.
TEST_F(ReplayControlTest, EverySpeedIsItsManySingleStepsWithOneRedraw) {
  for (int speed = 0; speed < kReplaySpeedCount; ++speed) {
    const ReplaySpeed& s = kReplaySpeeds[speed];
    EXPECT_EQ(s.pointsPerTick * 1000, 5 * std::stoi(s.caption) * s.intervalMs) << s.caption;
    EXPECT_GE(s.intervalMs, 40) << s.caption;

    Replayed single;
    setFlight(single.data, climbingFixes(37));
    startReplay(data, view, panels);
    startReplay(single.data, single.view, single.panels);
    setReplaySpeed(panels, speed);
    EXPECT_EQ(replayIntervalMs(panels), s.intervalMs);
    for (int tick = 0; tick < 9; ++tick) {  // 9 × 20 points pass the end of 37 several times
      const long long redraws = view.redrawCount();
      replayTick(data, view, panels);
      EXPECT_EQ(view.redrawCount(), redraws + 1) << s.caption;
      for (int k = 0; k < s.pointsPerTick; ++k) Timer2Timer(single.data, single.view, single.panels);
      ASSERT_EQ(data.CursorPoint, single.data.CursorPoint) << s.caption << " tick " << tick;
      EXPECT_EQ(pointColours(data), pointColours(single.data)) << s.caption << " tick " << tick;
      EXPECT_EQ(panels.trackBarPosition, single.panels.trackBarPosition);
      EXPECT_EQ(navTexts(panels), navTexts(single.panels));
    }
  }
  EXPECT_THROW(setReplaySpeed(panels, kReplaySpeedCount), RunError);
}

TEST_F(ReplayControlTest, HoldKeepsTheReplayButNotItsTimer) {
  Timer2Timer(data, view, panels);
  toggleReplayHold(panels);
  EXPECT_FALSE(replayTimerRuns(panels));
  EXPECT_TRUE(panels.timer2Enabled);  // held, not the track bar's stop
  TrackBar1Change(data, view, panels, 500);  // the bar's own position updates still move nothing
  EXPECT_EQ(data.CursorPoint, 1);

  toggleReplayHold(panels);
  EXPECT_TRUE(replayTimerRuns(panels));
  replayTick(data, view, panels);
  EXPECT_EQ(data.CursorPoint, 2);  // runs on from where it stood

  // A new start of the replay is never held; with no replay playing the
  // space bar does nothing.
  toggleReplayHold(panels);
  startReplay(data, view, panels);
  EXPECT_TRUE(replayTimerRuns(panels));
  TrackBar1Enter(panels);
  toggleReplayHold(panels);
  EXPECT_FALSE(panels.replayHeld);
  data.OverlayMode = 2;
  Overlay(data, view, panels);
  toggleReplayHold(panels);
  EXPECT_FALSE(replayTimerRuns(panels) || panels.replayHeld);
}

TEST_F(ReplayControlTest, StepsMoveOnePointOnlyWhileTheReplayStands) {
  struct Case {
    int direction, from, to;
  };
  toggleReplayHold(panels);
  for (const Case& c : {Case{+1, 4, 5}, Case{-1, 4, 3}, Case{-1, 0, 0}, Case{+1, 36, 36}, Case{+1, 0, 1}}) {
    data.CursorPoint = c.from;
    stepReplayCursor(data, view, panels, c.direction);
    ASSERT_EQ(data.CursorPoint, c.to) << c.from << " by " << c.direction;
    for (int i = 0; i <= data.LastPoint; ++i)
      EXPECT_EQ(data.FlightPath[i].Color, i <= c.to ? colours::kRed : colours::kBlue) << "point " << i;
    EXPECT_EQ(panels.trackBarPosition, RoundToInt32(1000.0 / 36 * c.to));
    EXPECT_EQ(navTexts(panels)[kNavEntfernung],
              QString::number(Round(std::hypot(c.to * 10.0, c.to * 3.0))) + " m");
  }
  EXPECT_TRUE(panels.timer2Enabled && panels.replayHeld);  // stepping does not stop the replay

  toggleReplayHold(panels);  // running: the keys do nothing
  stepReplayCursor(data, view, panels, +1);
  EXPECT_EQ(data.CursorPoint, 1);
  TrackBar1Enter(panels);  // the bar took over: steps work there too
  stepReplayCursor(data, view, panels, +1);
  EXPECT_EQ(data.CursorPoint, 2);
  data.OverlayMode = 0;
  Overlay(data, view, panels);
  stepReplayCursor(data, view, panels, +1);
  EXPECT_EQ(data.CursorPoint, 2);
}

TEST_F(ReplayControlTest, StateTextNamesHoldAndSpeed) {
  struct Case {
    bool held;
    int speed;
    const char* text;
  };
  for (const Case& c : {Case{false, 0, ""}, Case{true, 0, "angehalten"}, Case{false, 3, "Tempo 10×"},
                        Case{true, 4, "angehalten, Tempo 25×"}}) {
    panels.replayHeld = c.held;
    setReplaySpeed(panels, c.speed);
    EXPECT_EQ(replayStateText(panels), QString::fromUtf8(c.text));
  }
  TrackBar1Enter(panels);  // stopped by the bar, not held
  EXPECT_EQ(replayStateText(panels), QString::fromUtf8("Tempo 25×"));
  data.OverlayMode = 0;
  Overlay(data, view, panels);
  EXPECT_EQ(replayStateText(panels), "");
}
