#pragma once
// The one height above sea level of a flight's points: heights above ground,
// the Info panel, the chart and every export take it from here.

#include "model/Flight.h"
#include "model/FlightData.h"

#include <vector>

namespace trelvano {

// Metres above sea level of points 0 … LastPoint: a new-format logger
// flight's shown height plus the altitude of its first sample; an IGC fix's
// GNSS altitude where it has one (brought from the ellipsoid to the EGM96
// geoid where the file's header declares ellipsoid heights), its pressure
// altitude where it has none; a GPX point's elevation; an old-format logger
// point's altitude. A pressure altitude is referred to the standard
// atmosphere, so the GNSS altitude is preferred wherever the fix has one.
std::vector<double> seaLevelAltitudes(const FlightData& data);
// The same for a flight as read, per fix.
std::vector<double> seaLevelAltitudes(const Flight& flight);

}  // namespace trelvano
