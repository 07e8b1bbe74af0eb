#pragma once
// Thermals and glides of the free flight.
//
// A thermal is a circling phase that gained kMinThermalGain metres or more;
// smaller circles stay circling without a thermal. A glide is the free flight
// between two thermals (or from the start of a stretch of free flight to the
// first thermal, and from the last one to its end); its ratio is given only
// where it lost kMinGlideLoss metres or more, as less tells nothing, and
// did not climb as much on the way (under a cloud street, in a wave or along
// a ridge), which would make the height it lost look small.

#include "analysis/AnalysisInput.h"
#include "analysis/Track.h"
#include "model/FlightAnalysisData.h"

#include <vector>

namespace trelvano {

inline constexpr double kMinThermalGain = 30.0;  // metres
inline constexpr double kMinGlideLoss = 100.0;   // metres

// The thermals among the circling `phases`, with the mean of the wind
// estimates made in each and the clock of `input` where it has one.
std::vector<Thermal> findThermals(const Track& track, const AnalysisInput& input,
                                  const std::vector<FlightPhase>& phases, const std::vector<WindEstimate>& wind);

// The glides of each stretch of `freeFlight` around `thermals`.
std::vector<Glide> findGlides(const Track& track, const AnalysisInput& input,
                              const std::vector<FlightSection>& freeFlight, const std::vector<Thermal>& thermals);

}  // namespace trelvano
