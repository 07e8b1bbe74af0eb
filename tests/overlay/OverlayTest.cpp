#include "overlay/ColourScale.h"
#include "overlay/Overlay.h"

#include "FlightFixture.h"

namespace overlay_test {

using namespace trelvano;

namespace {

constexpr int32_t kBlue = colours::kBlue, kRed = colours::kRed, kGreen = colours::kGreen,
                  kGreen254 = colours::kGreen254, kDarkGreen = colours::kDarkGreen, kBlack = colours::kBlack;

bool onlyChecked(const SidePanels& panels, int mode) {
  for (int m = 1; m <= kOverlayItemCount; ++m)
    if (panels.overlayChecked[m - 1] != (m == mode)) return false;
  return true;
}

}  // namespace

using OverlayTest = FlightTest;

TEST_F(OverlayTest, ClickingTheCheckedItemTurnsOverlaysOff) {
  setSpeeds(data, {10, 20, 30});
  chooseOverlay(data, view, panels, 2);
  EXPECT_TRUE(onlyChecked(panels, 2));
  EXPECT_EQ(data.OverlayMode, 2);
  EXPECT_TRUE(panels.image2Visible);
  EXPECT_NE(data.FlightPath[3].Color, kBlue);

  chooseOverlay(data, view, panels, 2);
  EXPECT_TRUE(onlyChecked(panels, 0));
  EXPECT_EQ(data.OverlayMode, 0);
  EXPECT_EQ(pointColours(data), std::vector<int32_t>(4, kBlue));
  EXPECT_TRUE(panels.infoVisible);
  EXPECT_FALSE(panels.image2Visible || panels.trackPanelVisible || panels.navVisible || panels.adcVisible ||
               panels.miscVisible || panels.timer1Enabled || panels.timer2Enabled);
}

TEST_F(OverlayTest, SwitchingOverlaysLeavesOnlyTheNewItemChecked) {
  setSpeeds(data, {10, 20, 30});
  chooseOverlay(data, view, panels, 3);
  EXPECT_TRUE(panels.timer2Enabled);
  EXPECT_TRUE(view.layers.Flugweg);
  const long long redraws = view.redrawCount();
  chooseOverlay(data, view, panels, 5);
  EXPECT_TRUE(onlyChecked(panels, 5));
  EXPECT_EQ(data.OverlayMode, 5);
  EXPECT_FALSE(panels.timer2Enabled || panels.trackPanelVisible || panels.navVisible);
  EXPECT_FALSE(view.layers.Flugweg);
  EXPECT_EQ(view.redrawCount(), redraws + 1);

  chooseOverlay(data, view, panels, 1);
  EXPECT_TRUE(onlyChecked(panels, 1));
  EXPECT_TRUE(panels.timer1Enabled);
  EXPECT_FALSE(panels.image2Visible);
}

TEST_F(OverlayTest, DirectionPatternMovesOnePointPerTickAndRepeatsAfterThree) {
  setSpeeds(data, {5, 5, 5, 5, 5, 5});
  data.OverlayMode = 1;
  Overlay(data, view, panels);
  const std::vector<int32_t> start = {kBlue, kGreen254, kGreen, kBlue, kGreen254, kGreen, kBlue};
  EXPECT_EQ(pointColours(data), start);

  animateDirections(data, view);
  EXPECT_EQ(pointColours(data), (std::vector<int32_t>{kGreen, kBlue, kGreen254, kGreen, kBlue, kGreen254, kGreen}));
  animateDirections(data, view);
  animateDirections(data, view);
  EXPECT_EQ(pointColours(data), start);

  // Colours outside the pattern stay.
  data.FlightPath[2].Color = kRed;
  animateDirections(data, view);
  EXPECT_EQ(data.FlightPath[2].Color, kRed);
}

TEST_F(OverlayTest, SpeedScaleIgnoresASpikeAndStartsAtAFifthOfTheTop) {
  // Steady 10 m/s, one 60 m/s spike, one segment at 6 and one at 1 m/s.
  setSpeeds(data, {10, 10, 60, 10, 6, 1, 10});
  const ColourScale scale = colourBySpeed(data);
  EXPECT_DOUBLE_EQ(scale.max, 10);
  EXPECT_DOUBLE_EQ(scale.min, 2);
  const int32_t red = ScaleColour(254);
  EXPECT_EQ(pointColours(data), (std::vector<int32_t>{red, red, red, red, red, ScaleColour(127), ScaleColour(0), red}));
}

TEST_F(OverlayTest, HeightLayersOf25Metres) {
  const int32_t kept = 0x00123456;
  setFlight(data, {{0, 0, 0, 1},
                   {0, 0, 0, 1},
                   {0, 0, 24, 1},
                   {0, 0, 26, 1},
                   {0, 0, 60, 1},
                   {0, 0, 80, 1},
                   {0, 0, -30, 1},
                   {0, 0, -100, 1},
                   {0, 0, 12.4, 1},
                   {0, 0, 12.6, 1},
                   {0, 0, 62.5, 1}});
  for (int i = 0; i <= data.LastPoint; ++i) data.FlightPath[i].Color = kept;
  data.OverlayMode = 4;
  Overlay(data, view, panels);
  EXPECT_EQ(pointColours(data), (std::vector<int32_t>{kept, kRed, kDarkGreen, kDarkGreen, kBlue, kBlack, kept, kRed,
                                                      kRed, kDarkGreen, kBlue}));
}

TEST_F(OverlayTest, EnergyScale) {
  // Energies 148.1, 246.2, 246.2 and 208.7 J/kg: the bottom stays at the lowest.
  setFlight(data, {{0, 0, 0, 1}, {0, 0, 10, 1}, {0, 0, 20, 1}, {10, 0, 20, 1}, {20, 0, 20, 2}});
  ColourScale scale = colourByEnergy(data);
  EXPECT_NEAR(scale.min, 148.1, 1e-9);
  EXPECT_NEAR(scale.max, 246.2, 1e-9);
  EXPECT_EQ(pointColours(data), (std::vector<int32_t>{ScaleColour(0), ScaleColour(0), ScaleColour(254),
                                                      ScaleColour(254), ScaleColour(157)}));

  // Energies 0, 50 and 200: the bottom is raised to 40.
  setFlight(data, {{0, 0, 0, 1}, {0, 0, 0, 1}, {10, 0, 0, 1}, {30, 0, 0, 1}});
  scale = colourByEnergy(data);
  EXPECT_DOUBLE_EQ(scale.min, 40);
  EXPECT_EQ(pointColours(data),
            (std::vector<int32_t>{ScaleColour(0), ScaleColour(0), ScaleColour(16), ScaleColour(254)}));

  // Entirely below the origin (energies -931 and -781): a fifth of the top
  // would lie above the top, so the scale keeps its range.
  setFlight(data, {{0, 0, -100, 1}, {10, 0, -100, 1}, {30, 0, -100, 1}});
  scale = colourByEnergy(data);
  EXPECT_NEAR(scale.min, -931, 1e-6);
  EXPECT_EQ(pointColours(data), (std::vector<int32_t>{ScaleColour(0), ScaleColour(0), ScaleColour(254)}));
}

TEST_F(OverlayTest, EnergyGainIsSymmetricAndUsesTwiceTheChange) {
  // Energies 50, 200, 50: gain of 150 towards point 2, loss of 150 after it.
  setFlight(data, {{0, 0, 0, 1}, {10, 0, 0, 1}, {30, 0, 0, 1}, {40, 0, 0, 1}});
  const ColourScale scale = colourByEnergyGain(data);
  EXPECT_DOUBLE_EQ(scale.min, -150);
  EXPECT_DOUBLE_EQ(scale.max, 150);
  EXPECT_EQ(pointColours(data),
            (std::vector<int32_t>{ScaleColour(0), ScaleColour(0), ScaleColour(254), ScaleColour(127)}));
}

TEST_F(OverlayTest, ZeroWidthScalesColourEverythingGreen) {
  setSpeeds(data, {10, 10, 10, 10});  // constant energy
  EXPECT_FALSE(colourByEnergyGain(data).hasWidth());
  EXPECT_EQ(pointColours(data), std::vector<int32_t>(5, kGreen));

  setSpeeds(data, {0, 0, 0});  // standing still
  EXPECT_FALSE(colourBySpeed(data).hasWidth());
  EXPECT_EQ(pointColours(data), std::vector<int32_t>(4, kGreen));

  setSpeeds(data, {10});  // one energy only
  EXPECT_FALSE(colourByEnergy(data).hasWidth());
  EXPECT_EQ(pointColours(data), std::vector<int32_t>(2, kGreen));
}

TEST_F(OverlayTest, FixWithoutTimeStepTakesItsNeighboursColour) {
  // Point 3 repeats the second of point 2 but moved: its speed would be infinite.
  setFlight(data, {{0, 0, 0, 1}, {10, 0, 0, 1}, {15, 0, 0, 1}, {20, 0, 0, 0}, {30, 0, 0, 1}, {35, 0, 0, 0}});
  const ColourScale scale = colourBySpeed(data);
  EXPECT_DOUBLE_EQ(scale.max, 10);
  // Point 5 is last and gets c = 0; point 3 the colour of point 4.
  EXPECT_EQ(pointColours(data), (std::vector<int32_t>{ScaleColour(254), ScaleColour(254), ScaleColour(95),
                                                      ScaleColour(254), ScaleColour(254), ScaleColour(0)}));

  colourByEnergy(data);
  EXPECT_EQ(data.FlightPath[3].Color, data.FlightPath[4].Color);
  EXPECT_EQ(data.FlightPath[5].Color, ScaleColour(0));

  // Point 2 measures its change against point 4, the next one with an energy;
  // point 5 has none and shows as no change.
  const ColourScale gain = colourByEnergyGain(data);
  EXPECT_DOUBLE_EQ(gain.min, -37.5);
  EXPECT_EQ(data.FlightPath[2].Color, ScaleColour(0));
  EXPECT_EQ(data.FlightPath[3].Color, data.FlightPath[4].Color);
  EXPECT_EQ(data.FlightPath[5].Color, ScaleColour(127));
}

TEST_F(OverlayTest, EveryModeOnTheStartUpPointAndOnAnEmptyFlight) {
  for (int32_t last : {0, -1}) {
    data.LastPoint = last;
    for (int mode = 0; mode <= 7; ++mode) {
      data.OverlayMode = mode;
      EXPECT_NO_THROW(Overlay(data, view, panels)) << "mode " << mode << ", LastPoint " << last;
      EXPECT_NO_THROW(animateDirections(data, view));
    }
  }
}

}  // namespace overlay_test
