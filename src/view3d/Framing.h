#pragma once
// "Flug einpassen": where the camera must stand to show a flight whole.

#include "model/FlightData.h"
#include "view3d/Camera.h"

#include <cstdint>
#include <optional>

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
std::optional<CameraShift> framingShift(const FlightData& data, const Camera& cam, int width, int height, int32_t first,
                                        int32_t last);

}  // namespace trelvano
