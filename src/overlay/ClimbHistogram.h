#pragma once
// The small bar chart under "Summen": how many thermals had each class of
// average climb (0.5 m/s wide), a bar per class with its count above it and
// the class's lower bound below.

#include "model/FlightAnalysisData.h"

#include <QImage>
#include <vector>

namespace trelvano {

inline constexpr int32_t kClimbBarColour = 0x000080FF;  // orange, as circling in the overlay

// A white picture of `width` × `height` pixels; without classes it says there were no thermals.
QImage climbHistogramPicture(const std::vector<ClimbClass>& classes, int width, int height);

}  // namespace trelvano
