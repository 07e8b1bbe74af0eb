#pragma once
// The one clock of the loaded flights, and where each flight is on it.
//
// A clock time is in seconds. With "Gleichzeitig" it is UTC (seconds since
// 1970) where the first flight has clock times; a flight without them starts
// with the first flight. With "Gemeinsamer Start" every flight's take-off is
// put on the first flight's take-off. Each flight's offset is added on top.
// A flight's own time is its analysis' time: seconds since its first fix.

#include "app/core/FlightSet.h"

#include <cstdint>
#include <optional>
#include <vector>

namespace trelvano {

// Seconds of the flight's own time to add to get the clock time.
double clockShift(const FlightSet& set, int index);
// The clock time of a fix of a flight.
double clockTimeOf(const FlightSet& set, int index, int32_t point);
// UTC of the flight's first fix (seconds since 1970); none without clock.
std::optional<double> utcStart(const Flight& flight, const FlightAnalysis& analysis);
// The fix's own time of the flight's take-off: its first take-off, else the
// start of its first time in the air, else 0.
double takeoffTime(const FlightAnalysis& analysis);

// The clock's span: the earliest start and latest end of the shown flights
// (all flights where none is shown); 0, 0 without flights.
struct ClockSpan {
  double start = 0, end = 0;
};
ClockSpan clockSpan(const FlightSet& set);

// A flight at a clock time: its position interpolated between the fixes
// around it. Before its first fix or after its last one it waits there
// (`waiting`, with vario and speed 0), so the view can dim its marker.
struct FlightAt {
  bool waiting = false;
  int32_t point = 0;    // the fix at or before the time
  double fraction = 0;  // 0 … 1 of the way to the next fix
  double lat = 0, lon = 0;
  double height = 0;       // metres above sea level, the flight's altitude
  double vario = 0;        // m/s over the leg the time falls in
  double groundSpeed = 0;  // km/h over that leg
};
FlightAt flightAt(const LoadedFlight& flight, double ownSeconds);
FlightAt flightAtClock(const FlightSet& set, int index, double clockTime);

// Each flight at the clock time, compared with the active one: the
// distance (metres, along the ellipsoid) and height difference (this one's
// minus the active one's). Both are NaN where this flight or the active one
// is waiting, and 0 for the active flight itself while it flies.
struct FlightComparison {
  FlightAt at;
  double distanceToActive = 0;
  double heightToActive = 0;
};
std::vector<FlightComparison> compareAt(const FlightSet& set, double clockTime);

}  // namespace trelvano
