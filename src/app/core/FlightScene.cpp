#include "app/core/FlightScene.h"

#include "app/core/FlightClock.h"
#include "app/core/FlightExport.h"

#include <algorithm>
#include <limits>

namespace trelvano {

void fillScene(const FlightSet& flights, const FlightData& data, SceneFlights& scene) {
  scene.clear();
  if (flights.count() < 2 || !flights.active()) return;  // one flight draws as it always did
  // The clock at the active flight's cursor as the tables have it now: a
  // command redraws before it hands the new cursor on to the set.
  const int32_t cursor = std::clamp(data.CursorPoint, 0, flights.active()->flight->lastIndex());
  const double clock = clockTimeOf(flights, flights.activeIndex(), cursor);
  for (int i = 0; i < flights.count(); ++i) {
    const LoadedFlight& f = flights.at(i);
    const bool active = i == flights.activeIndex();
    if (!f.visible && !active) continue;
    const int32_t colour = bgrColour(f.colour);
    if (!active) scene.tracks.push_back({f.flight, colour});
    const FlightAt at = flightAtClock(flights, i, clock);
    scene.markers.push_back({at.lat, at.lon, at.height, colour, at.waiting, active ? QString() : f.name});
  }
}

void fillOtherHeights(const FlightSet& flights, int32_t first, int32_t last,
                      std::vector<ChartView::OtherHeights>& out) {
  out.clear();
  const LoadedFlight* active = flights.active();
  if (!active || first > last || last > active->flight->lastIndex()) return;
  const double base = active->flight->fixes.front().Altitude;
  for (int j = 0; j < flights.count(); ++j) {
    if (j == flights.activeIndex() || !flights.at(j).visible) continue;
    ChartView::OtherHeights h{bgrColour(flights.at(j).colour), {}};
    h.metres.reserve(size_t(last - first + 1));
    for (int32_t i = first; i <= last; ++i) {
      const FlightAt at = flightAtClock(flights, j, clockTimeOf(flights, flights.activeIndex(), i));
      h.metres.push_back(at.waiting ? std::numeric_limits<double>::quiet_NaN() : at.height - base);
    }
    out.push_back(std::move(h));
  }
}

}  // namespace trelvano
