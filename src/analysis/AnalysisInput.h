#pragma once
// What the flight analysis reads of a flight: one entry per fix in every
// non-empty span, all of the same length. Read only; the analysis keeps no
// reference to it after it returned.

#include <cstdint>
#include <span>

namespace trelvano {

struct AnalysisInput {
  std::span<const double> lat, lon;  // decimal degrees, north and east positive
  std::span<const double> altitude;  // metres
  std::span<const double> timeStep;  // seconds from the fix before (the first one's is not read)
  std::span<const double> utc;       // clock, UTC seconds since 1970 (NaN = none); empty without clock
  // Engine noise level and means of propulsion, 0 … 999 (-1 = none); empty
  // where the recorder gives none.
  std::span<const int16_t> enl, mop;
};

}  // namespace trelvano
