#pragma once
// What the 3D view draws beside the active flight: the other shown flights
// in their colours, and with more than one flight loaded every shown
// flight's marker at the time of the active flight's cursor point, the
// others' named.

#include "app/core/FlightSet.h"
#include "model/FlightData.h"
#include "view3d/SceneFlights.h"

namespace trelvano {

void fillScene(const FlightSet& flights, const FlightData& data, SceneFlights& scene);

}  // namespace trelvano
