#pragma once
// A flight into the flight tables the rest of the program reads.

#include "model/Flight.h"
#include "model/FlightData.h"

namespace trelvano {

// Replaces the shown flight by `flight`: FlightPath 0 … n-1 (blue, a stroke
// from the first fix on), LastPoint, RangeStart 0, RangeEnd, the extents, the
// local frame with the first fix as origin, ShadowPath, PlumbLines,
// PlumbLast, PointTime and HasPointTimes, GnssAltitude and HasGnssAltitudes,
// the IGC extras, the sample tables (a new-format flight's rows into both),
// LoggerNG, the header values, SampleInterval, the start values and
// HasFlight; a new-format flight also sets UseBaroAltitude to where its
// altitudes came from. What the tables hold beyond the flight's points is
// never read. A flight beyond the tables' capacity throws the range error
// before anything changes.
void showFlight(FlightData& data, const Flight& flight);

// Copies all 32768 rows of RawSamples into ChannelSamples.
void KonvertExtra(FlightData& data);

}  // namespace trelvano
