#pragma once
// The chart's colours ($00BBGGRR).

#include "model/ChannelParams.h"

#include <cstdint>

namespace trelvano {

namespace chart_colours {
constexpr int32_t kOutsideSection = 0x00F0F0F0;     // light grey background outside the shown section
constexpr int32_t kMarks = 0x00C0C0C0;              // value grid, probe and measurement marks
constexpr int32_t kHoehe = 0x00FF0000;              // blue
constexpr int32_t kGroundspeed = 0x00800000;        // navy
constexpr int32_t kSpeed = 0x00008000;              // green: "3D-Speed" and "Air-Speed"
constexpr int32_t kHeightAboveGround = 0x00004080;  // brown: "Höhe über Grund"
// By ChannelIndex: olive, aqua, red, purple, black, grey, olive, aqua, red, purple, black, grey, grey.
constexpr int32_t kChannels[kChannelCount] = {0x00008080, 0x00FFFF00, 0x000000FF, 0x00800080, 0x00000000,
                                              0x00808080, 0x00008080, 0x00FFFF00, 0x000000FF, 0x00800080,
                                              0x00000000, 0x00808080, 0x00808080};
}  // namespace chart_colours

}  // namespace trelvano
