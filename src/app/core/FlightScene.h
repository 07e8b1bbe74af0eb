#pragma once
// What the 3D view draws beside the active flight: the other shown flights
// in their colours, and with more than one flight loaded every shown
// flight's marker at the time of the active flight's cursor point, the
// others' named.

#include "app/core/FlightSet.h"
#include "chart/core/ChartView.h"
#include "model/FlightData.h"
#include "view3d/SceneFlights.h"

namespace trelvano {

void fillScene(const FlightSet& flights, const FlightData& data, SceneFlights& scene);

// The chart's "Alle Flüge": each other shown flight's height at the clock
// time of the active flight's points first … last, relative to the active
// flight's first altitude as its "Höhe" curve is; NaN where it is not flying.
void fillOtherHeights(const FlightSet& flights, int32_t first, int32_t last, std::vector<ChartView::OtherHeights>& out);

}  // namespace trelvano
