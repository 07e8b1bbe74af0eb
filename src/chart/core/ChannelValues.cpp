#include "chart/core/ChannelValues.h"

#include "import/ChannelConversion.h"
#include "model/Numbers.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace trelvano {

// Remembers conversions of one channel by their inputs (raw sample and, for
// kind Höhe, the altitude): the conversion is a function of these alone, and
// logger samples repeat a lot. Direct-mapped; a collision only costs a conversion.
struct ChannelValues::ConversionMemo {
  void clear() { std::fill(std::begin(used_), std::end(used_), false); }
  const double* find(int32_t raw, uint64_t altitudeBits) const {
    const int k = slot(raw, altitudeBits);
    return used_[k] && raw_[k] == raw && altitude_[k] == altitudeBits ? &value_[k] : nullptr;
  }
  void put(int32_t raw, uint64_t altitudeBits, double value) {
    const int k = slot(raw, altitudeBits);
    used_[k] = true;
    raw_[k] = raw;
    altitude_[k] = altitudeBits;
    value_[k] = value;
  }

  static constexpr int kSlots = 4096;
  static int slot(int32_t raw, uint64_t altitudeBits) {
    uint64_t h = static_cast<uint32_t>(raw) * 0x9E3779B97F4A7C15ull ^ altitudeBits * 0xC2B2AE3D27D4EB4Full;
    return static_cast<int>((h ^ (h >> 29)) & (kSlots - 1));
  }
  bool used_[kSlots] = {};
  int32_t raw_[kSlots] = {};
  uint64_t altitude_[kSlots] = {};
  double value_[kSlots] = {};
};

namespace {

uint64_t bitsOf(double v) {
  uint64_t b;
  std::memcpy(&b, &v, sizeof b);
  return b;
}

// value(i, c): the converted text read back. Kind Höhe turns into the text of
// a whole number, which reads back exactly while it has at most 15 digits, so
// its value is the height before it became text; a temperature change then
// costs no text at all.
double convertedValue(const FlightData& data, int i, int c) {
  const ChannelParam& p = data.ChannelParams[c];
  if (p.Kind == kKindHoehe) {
    const double h =
        barometricHeight(data.ChannelSamples.rows[i].v[c], p, data.Temperature, data.FlightPath.data()[i].Altitude);
    if (std::fabs(h) < 1e15) return h;
  }
  return parseFloat(ParameterToString(data, i, c));
}

// The fields the conversion reads (the name is not one of them).
bool sameConversion(const ChannelParam& a, const ChannelParam& b) {
  return bitsOf(a.Offset) == bitsOf(b.Offset) && bitsOf(a.Koeffizient) == bitsOf(b.Koeffizient) &&
         bitsOf(a.Startwert) == bitsOf(b.Startwert) && a.Kind == b.Kind;
}

}  // namespace

ChannelValues::ChannelValues() : memo_(std::make_unique<ConversionMemo>()) {}
ChannelValues::~ChannelValues() = default;

bool ChannelValues::columnChanged(const FlightData& data, int c) const {
  for (int i = 0; i < count_; ++i)
    if (rows_[i].v[c] != data.ChannelSamples.rows[i].v[c]) return true;
  return false;
}

bool ChannelValues::altitudesChanged(const FlightData& data) const {
  const FlightPoint* p = data.FlightPath.data();
  for (int i = 0; i < count_; ++i)
    if (bitsOf(altitudes_[i]) != bitsOf(p[i].Altitude)) return true;
  return false;
}

void ChannelValues::refresh(const FlightData& data) {
  const int n = std::max(data.LastPoint, 0) + 1;
  checkIndex(n - 1, kSampleRows);
  if (rows_.empty()) {
    rows_.resize(kSampleRows);
    altitudes_.resize(kSampleRows);
    for (auto& v : values_) v.resize(kSampleRows);
  }
  if (n != count_) {
    for (Inputs& in : inputs_) in.valid = false;
    count_ = n;
  }
  const bool rowsChanged = std::memcmp(rows_.data(), data.ChannelSamples.rows, sizeof(SampleRow) * n) != 0;
  bool heightChannels = false;
  for (int c = 0; c < kChannelCount; ++c) heightChannels = heightChannels || data.ChannelParams[c].Kind == kKindHoehe;
  const bool altitudes = heightChannels && altitudesChanged(data);

  bool stale[kChannelCount];
  for (int c = 0; c < kChannelCount; ++c) {
    const Inputs& in = inputs_[c];
    const ChannelParam& p = data.ChannelParams[c];
    const bool height = p.Kind == kKindHoehe;
    stale[c] = !in.valid || !sameConversion(in.param, p) || (rowsChanged && columnChanged(data, c)) ||
               (height && (altitudes || bitsOf(in.temperature) != bitsOf(data.Temperature)));
  }
  // The copies follow the flight before converting: every stale channel is
  // marked invalid first, so one that is not reached (an earlier one failed)
  // is converted next time whatever the copies say.
  for (int c = 0; c < kChannelCount; ++c)
    if (stale[c]) inputs_[c].valid = false;
  if (rowsChanged) std::memcpy(rows_.data(), data.ChannelSamples.rows, sizeof(SampleRow) * n);
  if (altitudes)
    for (int i = 0; i < n; ++i) altitudes_[i] = data.FlightPath.data()[i].Altitude;
  for (int c = 0; c < kChannelCount; ++c) {
    if (!stale[c]) continue;
    convert(data, c);
    inputs_[c] = {true, data.ChannelParams[c], data.Temperature};
  }
}

void ChannelValues::convert(const FlightData& data, int c) {
  ConversionMemo& memo = *memo_;
  memo.clear();
  const bool height = data.ChannelParams[c].Kind == kKindHoehe;
  double* out = values_[c].data();
  double lo = 0, hi = 0;
  for (int i = 0; i < count_; ++i) {
    const int32_t raw = data.ChannelSamples.rows[i].v[c];
    const uint64_t altitude = height ? bitsOf(data.FlightPath.data()[i].Altitude) : 0;
    double v;
    if (const double* known = memo.find(raw, altitude)) {
      v = *known;
    } else {
      v = convertedValue(data, i, c);
      ++conversions_;
      memo.put(raw, altitude, v);
    }
    out[i] = v;
    if (i == 0 || v < lo) lo = v;
    if (i == 0 || v > hi) hi = v;
  }
  min_[c] = lo;
  max_[c] = hi;
}

}  // namespace trelvano
