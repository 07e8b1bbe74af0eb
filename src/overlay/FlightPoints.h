#pragma once
// FlightPath for loops over the points 0 … LastPoint that index it unchecked.

#include "model/FlightData.h"

namespace trelvano {

// Checks the last index once: beyond the array it is the range error; -1 (a
// file without fixes) leaves the loops empty.
inline FlightPoint* flightPoints(FlightData& data) {
  if (data.LastPoint >= kPointCapacity) throw RunError::range();
  return data.FlightPath.data();
}
inline const FlightPoint* flightPoints(const FlightData& data) {
  if (data.LastPoint >= kPointCapacity) throw RunError::range();
  return data.FlightPath.data();
}

// Gives points first … last the colour; an empty range (first > last) does nothing.
inline void colourPoints(FlightData& data, int32_t first, int32_t last, int32_t colour) {
  if (first > last) return;
  checkIndex(first, kPointCapacity);
  checkIndex(last, kPointCapacity);
  FlightPoint* p = data.FlightPath.data();
  for (int32_t i = first; i <= last; ++i) p[i].Color = colour;
}

}  // namespace trelvano
