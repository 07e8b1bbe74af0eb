#pragma once
#include "DumpOptions.h"
#include "Json.h"

#include "app/core/MainController.h"

namespace trelvano {

// After the flights: --offset, --sync, --active, then the clock's time
// (--time, else the active flight's cursor). An --offset or --active of a
// flight that is not loaded throws the range error.
void applyFlightOptions(MainController& program, const DumpOptions& options);

// The key "flights": per loaded flight its file, name, colour, points, UTC
// span, offset, visibility, whether it is active, its summary and where it
// is at the clock's time, compared with the active flight.
void writeFlights(JsonWriter& json, const FlightSet& flights);

}  // namespace trelvano
