#pragma once
// The colour scales of the overlays "Geschwindigkeit", "Energie" and
// "Energiezuwachs": each colours every FlightPath point by a scale step
// c = 0 (green) … 254 (red) and returns the scale it used for the legend.

#include "model/FlightData.h"

#include <cstdint>

namespace trelvano {

struct ColourScale {
  double min = 0;  // value at c = 0: m/s for speed, J/kg for energy and energy change
  double max = 0;  // value at c = 254
  // A scale of zero width (nothing moved, constant energy, too few points)
  // colours every point with c = 0 and draws no figures.
  bool hasWidth() const { return max > min; }
};

// $00BBGGRR of scale step c: red byte c, green byte 255 - c.
int32_t ScaleColour(int c);

// Scale step 0 … 254 of w, clamped to the scale; 0 on a zero-width scale.
int scaleStep(double w, const ColourScale& scale);

// Speed along the 3D path; the top of the scale comes through the jump filter,
// the bottom is a fifth of the top.
ColourScale colourBySpeed(FlightData& data);
// Specific energy; the bottom of the scale is raised to a fifth of the top.
ColourScale colourByEnergy(FlightData& data);
// Energy lost towards the next point (gain is green), on a scale symmetric
// around 0; the colours use twice the change.
ColourScale colourByEnergyGain(FlightData& data);

}  // namespace trelvano
