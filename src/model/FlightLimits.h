#pragma once
// How many fixes a flight holds at most: what the plumb lines of the view
// have room for (two entries a fix). A file with more fails to load.

namespace trelvano {

constexpr int kMaxFlightPoints = 65536;

}  // namespace trelvano
