#pragma once
#include "Json.h"

#include "model/FlightData.h"

namespace trelvano {

// The key "analysis": phases, thermals, glides, totals, wind, the declared
// task, engine runs, events and the security record of the loaded flight.
void writeAnalysis(JsonWriter& json, const FlightData& data);

}  // namespace trelvano
