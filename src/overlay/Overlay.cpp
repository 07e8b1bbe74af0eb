#include "overlay/Overlay.h"

#include "model/Numbers.h"
#include "overlay/ColourScale.h"
#include "overlay/PhaseColours.h"
#include "overlay/FlightPoints.h"
#include "overlay/Legend.h"

#include <algorithm>
#include <cmath>

namespace trelvano {

namespace {

constexpr int kLayerHeight = 25;  // metres

// Every third segment blue, the two greens carry the phase of the animation.
void colourByDirection(FlightData& data) {
  static const int32_t kPhase[3] = {colours::kBlue, colours::kGreen254, colours::kGreen};
  FlightPoint* p = flightPoints(data);
  for (int32_t i = 0; i <= data.LastPoint; ++i) p[i].Color = kPhase[i % 3];
}

// Layers 25 m thick centred on multiples of 25 m, four colours repeating
// every 100 m. The remainder keeps the sign of the layer number, so below
// the origin only every fourth layer is coloured; the others keep their colour.
void colourByHeightLayers(FlightData& data) {
  static const int32_t kLayerColour[4] = {colours::kRed, colours::kDarkGreen, colours::kBlue, colours::kBlack};
  FlightPoint* p = flightPoints(data);
  for (int32_t i = 1; i <= data.LastPoint; ++i) {
    if (!std::isfinite(p[i].Z)) continue;  // no layer for a height that is not a number
    const int64_t l = Round(p[i].Z / kLayerHeight) % 4;
    if (l >= 0) p[i].Color = kLayerColour[l];
  }
}

// A channel's value label shows only when the running mean of its raw values
// ends above 1 (channels that never carried a signal stay hidden).
bool channelCarriesSignal(const FlightData& data, int channel) {
  double mean = 0;
  for (int32_t j = 0; j <= data.LastPoint; ++j) mean = (data.ChannelSamples[j][channel] + mean) / 2;
  return mean > 1;
}

void startReplay(FlightData& data, SidePanels& panels) {
  panels.trackPanelVisible = true;
  panels.navVisible = true;
  if (data.LoggerNG) {
    panels.adcVisible = true;
    panels.miscVisible = true;
    panels.infoVisible = false;
    for (int k = 0; k < kChannelCount; ++k) panels.channelValueVisible[k] = channelCarriesSignal(data, k);
  }
  data.CursorPoint = 0;
  colourPoints(data, 0, std::min(0, data.LastPoint), colours::kRed);
  colourPoints(data, 1, data.LastPoint, colours::kBlue);
  panels.timer2Enabled = true;
}

void showLegend(SidePanels& panels, int mode, const ColourScale& scale) {
  drawLegend(panels.Image2, mode, scale);
  panels.image2Visible = true;
}

}  // namespace

void Overlay(FlightData& data, View3D& view, SidePanels& panels) {
  panels.timer1Enabled = false;
  panels.timer2Enabled = false;
  panels.cursorPlaced = false;
  panels.replayHeld = false;
  for (bool& checked : panels.overlayChecked) checked = false;
  panels.trackPanelVisible = false;
  panels.infoVisible = true;
  panels.navVisible = false;
  panels.adcVisible = false;
  panels.miscVisible = false;
  panels.image2Visible = false;

  const int mode = data.OverlayMode;
  if (mode >= 1 && mode <= kOverlayItemCount) panels.overlayChecked[mode - 1] = true;
  switch (mode) {
    case 0: colourPoints(data, 0, data.LastPoint, colours::kBlue); break;
    case 1:
      colourByDirection(data);
      panels.timer1Enabled = true;
      break;
    case 2: showLegend(panels, mode, colourBySpeed(data)); break;
    case kModeFlugweg: startReplay(data, panels); break;
    case 4: colourByHeightLayers(data); break;
    case 5: showLegend(panels, mode, colourByEnergy(data)); break;
    case 6: showLegend(panels, mode, colourByEnergyGain(data)); break;
    case kModeFlugphasen:
      trelvano::colourByPhases(data);
      showLegend(panels, mode, ColourScale{});
      break;
    default: break;  // an unknown mode colours nothing
  }
  // The renderer draws the red cursor line while "Flugweg" is checked.
  view.layers.Flugweg = panels.overlayChecked[kModeFlugweg - 1];
  // The animation redraws ten times a second with nothing but new colours:
  // keep the picture below the flight path for it.
  view.keepUnderlay = panels.timer1Enabled;
  view.Grafikupdate();
}

void chooseOverlay(FlightData& data, View3D& view, SidePanels& panels, int mode) {
  bool& checked = panels.overlayChecked[checkIndex(mode - 1, kOverlayItemCount)];
  checked = !checked;
  data.OverlayMode = checked ? mode : 0;
  Overlay(data, view, panels);
}

void animateDirections(FlightData& data, View3D& view) {
  advanceDirectionPattern(data);
  view.redrawFlightColours();
}

void advanceDirectionPattern(FlightData& data) {
  FlightPoint* p = flightPoints(data);
  for (int32_t i = 0; i <= data.LastPoint; ++i) {
    int32_t& c = p[i].Color;
    if (c == colours::kGreen254)
      c = colours::kBlue;
    else if (c == colours::kGreen)
      c = colours::kGreen254;
    else if (c == colours::kBlue)
      c = colours::kGreen;
  }
}

}  // namespace trelvano
