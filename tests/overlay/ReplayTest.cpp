#include "overlay/Overlay.h"
#include "overlay/Replay.h"

#include "import/ChannelConversion.h"

#include "FlightFixture.h"

namespace replay_test {

using namespace trelvano;

namespace {

constexpr int32_t kBlue = colours::kBlue, kRed = colours::kRed;

// Points 0 … lastRed red, the rest blue.
std::vector<int32_t> flown(int count, int lastRed) {
  std::vector<int32_t> c(count, kBlue);
  for (int i = 0; i <= lastRed; ++i) c[i] = kRed;
  return c;
}

}  // namespace

TEST(ClimbRateText, TenthsWithCommaAndHyphenMinus) {
  EXPECT_EQ(climbRateText(-1.26), "-1,3 m/s");
  EXPECT_EQ(climbRateText(-0.04), "0,0 m/s");
  EXPECT_EQ(climbRateText(0.25), "0,2 m/s");
  EXPECT_EQ(climbRateText(0.75), "0,8 m/s");
  EXPECT_EQ(climbRateText(12.0), "12,0 m/s");
  EXPECT_EQ(climbRateText(-0.06), "-0,1 m/s");
}

class ReplayTest : public FlightTest {
 protected:
  void SetUp() override {
    std::vector<LocalFix> fixes;
    for (int i = 0; i <= 10; ++i) fixes.push_back({i * 10.0, 0, i * 2.0, 1});
    setFlight(data, fixes);
  }
  void startReplay() {
    data.OverlayMode = 3;
    Overlay(data, view, panels);
  }
};

TEST_F(ReplayTest, ReplayModeOnAFlightWithoutChannels) {
  data.CursorPoint = 7;
  startReplay();
  EXPECT_EQ(data.CursorPoint, 0);
  EXPECT_EQ(pointColours(data), flown(11, 0));
  EXPECT_TRUE(panels.timer2Enabled && panels.navVisible && panels.trackPanelVisible && panels.infoVisible);
  EXPECT_FALSE(panels.adcVisible || panels.miscVisible || panels.image2Visible);
  EXPECT_TRUE(view.layers.Flugweg);

  // The channel labels are not touched.
  stepReplay(data, view, panels);
  EXPECT_EQ(panels.channelCaption[11], "Zus.1");
  EXPECT_EQ(panels.channelValue[0], "0");
}

TEST_F(ReplayTest, ReplayModeOnALoggerFlightShowsOnlyChannelsThatCarriedASignal) {
  data.LoggerNG = true;
  for (int j = 0; j <= 10; ++j) {
    data.ChannelSamples[j][0] = j % 2;              // only 0 and 1: hidden
    data.ChannelSamples[j][1] = 1000 + j;           // visible
    data.ChannelSamples[j][2] = 1;                  // the mean approaches 1 but never exceeds it
    data.ChannelSamples[j][3] = j == 0 ? 1000 : 0;  // a running mean forgets the early value
    data.ChannelSamples[j][4] = j == 10 ? 6 : 0;    // … and weighs the last one most: 3
  }
  startReplay();
  EXPECT_TRUE(panels.adcVisible && panels.miscVisible && panels.navVisible && panels.trackPanelVisible);
  EXPECT_FALSE(panels.infoVisible);
  const bool expected[kChannelCount] = {false, true, false, false, true};
  for (int k = 0; k < kChannelCount; ++k) EXPECT_EQ(panels.channelValueVisible[k], expected[k]) << "channel " << k;

  // Track names the channels from the parameter table and converts their values.
  data.ChannelParams[11].Name = "Temperatur";
  data.ChannelParams[1].Kind = kKindLinear;
  data.ChannelParams[1].Koeffizient = 0.5;
  stepReplay(data, view, panels);
  EXPECT_EQ(panels.channelCaption[11], "Temperatur");
  EXPECT_EQ(panels.channelCaption[0], "ADC16");
  EXPECT_EQ(panels.channelValue[1], "500.5");
  EXPECT_EQ(panels.channelValue[0], "1");
}

TEST_F(ReplayTest, StepsMoveTheTrackBarAndWrapToTheStart) {
  startReplay();
  for (int step = 1; step <= 10; ++step) {
    stepReplay(data, view, panels);
    EXPECT_EQ(data.CursorPoint, step);
    EXPECT_EQ(panels.trackBarPosition, 100 * step);
    EXPECT_EQ(pointColours(data), flown(11, step));
  }
  EXPECT_EQ(navTexts(panels), (Texts{"100 m", "20 m", "10 m/s", "2,0 m/s", "10 s"}));

  stepReplay(data, view, panels);
  EXPECT_EQ(data.CursorPoint, 0);
  EXPECT_EQ(panels.trackBarPosition, 0);
  EXPECT_EQ(pointColours(data), flown(11, 0));
  EXPECT_EQ(navTexts(panels), (Texts{"0 m", "0 m", "0 m/s", "0 m/s", "0 s"}));
}

TEST_F(ReplayTest, ScrubbingTakesOverFromTheReplay) {
  startReplay();
  stepReplay(data, view, panels);
  moveTrackBar(data, view, panels, 500);  // ignored while the replay runs
  EXPECT_EQ(data.CursorPoint, 1);

  takeTrackBar(panels);
  EXPECT_FALSE(panels.timer2Enabled);
  moveTrackBar(data, view, panels, 500);
  EXPECT_EQ(data.CursorPoint, 5);
  EXPECT_EQ(pointColours(data), flown(11, 5));
  EXPECT_EQ(panels.nav[kNavEntfernung], "50 m");

  moveTrackBar(data, view, panels, 250);  // 2.5 points rounds to the even 2
  EXPECT_EQ(data.CursorPoint, 2);
  EXPECT_EQ(pointColours(data), flown(11, 2));
}

TEST_F(ReplayTest, ShownSectionButtons) {
  std::vector<LocalFix> fixes;
  for (int i = 0; i <= 50; ++i) fixes.push_back({i * 10.0, 0, 0, 1.0 + i % 5});
  setFlight(data, fixes);

  data.CursorPoint = 40;
  showSection(data, view, 2);  // "ab hier anzeigen"
  EXPECT_EQ(data.RangeStart, 40);
  Track(data, view, panels);
  EXPECT_EQ(navTexts(panels), (Texts{"400 m", "0 m", "0 m/s", "0 m/s", "0 s"}));
  data.CursorPoint = 41;
  Track(data, view, panels);  // the elapsed time is point 41's own step
  EXPECT_EQ(navTexts(panels), (Texts{"410 m", "0 m", "5 m/s", "0,0 m/s", "2 s"}));

  data.CursorPoint = 10;
  showSection(data, view, 3);  // "bis hier anzeigen" before the start: nothing shown
  EXPECT_EQ(data.RangeEnd, 10);
  showSection(data, view, 4);
  EXPECT_EQ(data.RangeEnd, 50);
  showSection(data, view, 1);
  EXPECT_EQ(data.RangeStart, 0);
}

TEST_F(ReplayTest, CentredCameraFollowsTheCursorSidewaysAndVertically) {
  view.toggleLayer(&Layers::FollowReplay);
  view.cam.CamY = 1234;
  setFlight(data, {{0, 0, 0, 1}, {250.4, 30, 80.6, 1}});
  data.CursorPoint = 1;
  const long long redraws = view.redrawCount();
  Track(data, view, panels);
  EXPECT_DOUBLE_EQ(view.cam.CamX, 250);
  EXPECT_DOUBLE_EQ(view.cam.CamZ, 81);
  EXPECT_DOUBLE_EQ(view.cam.CamY, 1234);
  EXPECT_EQ(view.redrawCount(), redraws + 1);
}

TEST_F(ReplayTest, FixWithoutTimeStepShowsStandingStill) {
  setFlight(data, {{0, 0, 0, 1}, {10, 0, 0, 1}, {15, 0, 3, 0}});
  data.CursorPoint = 2;
  Track(data, view, panels);
  EXPECT_EQ(navTexts(panels), (Texts{"15 m", "3 m", "0 m/s", "0 m/s", "1 s"}));
}

TEST_F(ReplayTest, SinglePointAndEmptyFlightsKeepReplaying) {
  data.LastPoint = 0;
  startReplay();
  for (int step = 0; step < 3; ++step) {
    stepReplay(data, view, panels);
    EXPECT_EQ(data.CursorPoint, 0);
    EXPECT_EQ(panels.trackBarPosition, 0);
    EXPECT_EQ(data.FlightPath[0].Color, kRed);
  }

  data.LastPoint = -1;
  data.FlightPath[0].Color = 0x00123456;
  startReplay();
  stepReplay(data, view, panels);
  takeTrackBar(panels);
  moveTrackBar(data, view, panels, 1000);
  EXPECT_EQ(data.CursorPoint, 0);
  EXPECT_EQ(panels.trackBarPosition, 1000);
  EXPECT_EQ(data.FlightPath[0].Color, 0x00123456);  // nothing to colour
}

}  // namespace replay_test
