#pragma once
// A copy of everything a failed load must leave as it was: the eight point
// arrays with their last indexes, the point times, both sample tables, the channel parameter
// table and every flight-wide value. Needs no test framework, so the fuzz
// targets share it.

#include "model/FlightData.h"

#include <string>
#include <vector>

namespace trelvano {

struct StateSnapshot {
  // Copies the first `points` entries of every point array and the first
  // `rows` rows of both sample tables (a load of n lines can write no further
  // than n entries past what a flight already uses).
  explicit StateSnapshot(const FlightData& d, int points = kPointCapacity, int rows = kSampleRows);

  // What differs first ("FlightPath[12]", "Temperature", …), or "" when nothing does.
  std::string differenceTo(const FlightData& d) const;

  // How far into the tables a load of `input` can write on `d`: a point per
  // line (two plumb-line entries each), a vector-map entry per 32 bytes,
  // beyond what the flight uses already. (The map cells are always compared.)
  static int reachOf(const char* input, size_t size, const FlightData& d);

 private:
  std::vector<FlightPoint> arrays_[8];
  std::vector<SampleRow> raw_, channel_;
  std::vector<ChannelParam> params_;
  std::array<uint8_t, kParamFileSize> paramImage_{};
  std::vector<double> values_;
  std::vector<double> pointTimes_;
};

}  // namespace trelvano
