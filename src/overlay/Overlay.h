#pragma once
// Track overlays: colouring FlightPath by direction, speed, replay position,
// 25 m layers, energy or energy gain, with the colour legend and the side
// panels that belong to each.

#include "model/FlightData.h"
#include "overlay/ColourScale.h"
#include "overlay/SidePanels.h"
#include "view3d/View3D.h"

#include <cstdint>

namespace trelvano {

// Applies data.OverlayMode (0 … 7): timers off, menu checks, panels, point
// colours, legend, timers on; ends with view.Grafikupdate().
void Overlay(FlightData& data, View3D& view, SidePanels& panels);

// The six items of the menu "Overlay" (mode 1 … 6): toggle the item, set
// OverlayMode to its mode when now checked, else 0, then Overlay.
void chooseOverlay(FlightData& data, View3D& view, SidePanels& panels, int mode);

// One tick of the "Flugrichtung" animation: advanceDirectionPattern, redraw.
void animateDirections(FlightData& data, View3D& view);
// Moves the blue segments of the direction pattern on by one point; other
// colours stay.
void advanceDirectionPattern(FlightData& data);

}  // namespace trelvano
