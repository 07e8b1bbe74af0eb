#pragma once
// Over the 3D view's picture: the declared task of an IGC flight (its points
// with lines between them on the ground plane, or on the terrain where it is
// shown; placeholders at 0°/0° left out) and, while the overlay "Flugphasen"
// is on, a marker with the average climb at the top of every thermal and a
// marker with the time of every event, at the heights the flight is drawn.

#include "model/FlightData.h"
#include "canvas/Canvas.h"
#include "view3d/Camera.h"
#include "view3d/LabelBoard.h"
#include "view3d/Layers.h"

namespace trelvano {

inline constexpr int32_t kTaskColour = 0x00A000A0;         // purple
inline constexpr int32_t kThermalMarkColour = 0x000060E0;  // dark orange
inline constexpr int32_t kEventMarkColour = 0x00008000;    // dark green

// Neither reads nor changes the view's OutOfView: the marks never move the camera.
// The markers are always drawn; their labels go through `labels` (whatever
// it holds already stays clear), so none covers another label or a marker:
// the task's names first, then the events, then the thermals from the
// strongest climb down; a label without room is left out.
void drawAnalysisMarks(Canvas& canvas, const FlightData& data, const Layers& layers, const Camera& cam,
                       LabelBoard& labels);

}  // namespace trelvano
