#pragma once
// "Flug einpassen": where the camera must stand to show a flight whole.

#include "import/LocalFrame.h"
#include "model/FlightData.h"
#include "view3d/Camera.h"

#include <cstdint>
#include <optional>
#include <vector>

namespace trelvano {

// The camera's shifts, in whole metres as its holders keep them, and how
// much of the picture the flight then fills: the larger of its share of the
// width and its share of the height (0 … 0.9).
struct CameraShift {
  double CamX, CamY, CamZ;
  double fill;
};

// The shifts that put FlightPath points first … last into a width × height
// picture, a twentieth of the picture clear of every border, as close as
// that allows: the flight then fills the picture across or up and down.
// Keeps the camera's azimuth, elevation and eye distance; CamY stays at
// least 10 m before the eye distance (the wheel's nearest), CamZ within its
// holder's -10000 … 100000. nullopt when first > last, or when no distance
// within the holder's range shows it all.
// `also`: further points (X, Y, Z in the flight's frame) to frame with them.
std::optional<CameraShift> framingShift(const FlightData& data, const Camera& cam, int width, int height, int32_t first,
                                        int32_t last, const std::vector<FlightPoint>& also = {});

// The camera that shows the same picture after the frame's origin moved from
// `from` to `to` (another flight made the active one): its shifts take up the
// move, turned by its azimuth and elevation; heights drawn `heightScale` times.
// Settled, so within a metre.
Camera cameraAfterFrameMove(const Camera& cam, const FrameOrigin& from, const FrameOrigin& to, double heightScale);

}  // namespace trelvano
