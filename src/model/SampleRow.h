#pragma once
// One sample of a new-format logger file: the 13 channels as read, then the
// GPS columns.

#include "model/RunError.h"

#include <cstdint>

namespace trelvano {

constexpr int kSampleRows = 32768;  // samples a new-format flight holds at most
constexpr int kSampleColumns = 16;
// Sample columns besides the 13 channels.
constexpr int kColLat = 13;     // latitude DDMMmmm
constexpr int kColLon = 14;     // longitude DDDMMmmm
constexpr int kColGpsAlt = 15;  // GPS altitude, decimetres

struct SampleRow {
  int32_t v[kSampleColumns];
  int32_t& operator[](long long c) { return v[checkIndex(c, kSampleColumns)]; }
  int32_t operator[](long long c) const { return v[checkIndex(c, kSampleColumns)]; }
};

}  // namespace trelvano
