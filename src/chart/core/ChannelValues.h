#pragma once
// The converted channel values the chart draws: value(i, c) is the text that
// ParameterToString(i, c) returns, read back as a number, so the chart sees
// exactly the precision of the point display. Converting 13 × 32768 samples
// takes far longer than a redraw, so the values are kept and a channel is
// converted again only when its inputs changed: its parameter row, its raw
// samples, the number of samples, and for kind "Höhe" the temperature and the
// flight's altitudes. Storage is allocated once, at full capacity.

#include "model/ChannelParams.h"
#include "model/FlightData.h"

#include <cstdint>
#include <memory>
#include <vector>

namespace trelvano {

class ChannelValues {
 public:
  ChannelValues();
  ~ChannelValues();
  ChannelValues(const ChannelValues&) = delete;
  ChannelValues& operator=(const ChannelValues&) = delete;

  // Brings every channel up to date for the samples 0 … max(LastPoint, 0).
  // Throws the range error for more samples than the table holds, and the
  // conversion's own errors (the channel stays out of date and is tried
  // again next time).
  void refresh(const FlightData& data);

  int count() const { return count_; }  // samples held
  // value(i, c) = column(c)[i] for 0 <= i < count().
  const double* column(int c) const { return values_[checkIndex(c, kChannelCount)].data(); }
  double value(long long i, int c) const { return column(c)[checkIndex(i, count_)]; }
  // Smallest and largest value of channel c over all samples held.
  double minimum(int c) const { return min_[checkIndex(c, kChannelCount)]; }
  double maximum(int c) const { return max_[checkIndex(c, kChannelCount)]; }

  // Samples converted since construction (the caching is tested by it).
  long long conversions() const { return conversions_; }

 private:
  // What one channel was last converted from.
  struct Inputs {
    bool valid = false;
    ChannelParam param;
    double temperature = 0;  // only for kind Höhe
  };
  bool columnChanged(const FlightData& data, int c) const;
  bool altitudesChanged(const FlightData& data) const;
  void convert(const FlightData& data, int c);

  int count_ = 0;
  std::vector<SampleRow> rows_;    // ChannelSamples rows 0 … count_ - 1 as last converted
  std::vector<double> altitudes_;  // FlightPath altitudes as last converted
  std::vector<double> values_[kChannelCount];
  double min_[kChannelCount] = {};
  double max_[kChannelCount] = {};
  Inputs inputs_[kChannelCount];
  struct ConversionMemo;
  std::unique_ptr<ConversionMemo> memo_;
  long long conversions_ = 0;
};

}  // namespace trelvano
