#pragma once
// Keeping the eye above the terrain the view draws: raising the heights
// ("Überhöhung") raises the ground, and the camera must not end up inside it.

#include "model/FlightData.h"
#include "view3d/Camera.h"
#include "view3d/Layers.h"

namespace trelvano {

// Metres (as drawn) the eye stays above the ground under it, at least.
constexpr double kEyeClearance = 50;

// Metres (as drawn) from the eye down to the highest ground the view draws
// within a grid step or two of the point under it; +infinity where no
// terrain is shown there.
double eyeAboveGround(const FlightData& data, const Layers& layers, const Camera& cam);

// The camera moved straight up as far as needed for the eye to lie
// kEyeClearance above the drawn ground. With keepFlight, it then steps back
// along its line of sight (which lifts the eye as it looks down) until the
// shown section of the flight lies wholly in a width × height picture again,
// each step kept above the ground as well. Azimuth, elevation and eye
// distance stay; the result is settled.
Camera cameraAboveGround(const FlightData& data, const Layers& layers, const Camera& cam, int width, int height,
                         bool keepFlight);

// The shown section of the flight (the whole flight when the section is
// empty) lies in front of the eye and inside a width × height picture.
bool flightInPicture(const FlightData& data, const Camera& cam, int width, int height);

}  // namespace trelvano
