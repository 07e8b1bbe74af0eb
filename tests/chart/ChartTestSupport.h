#pragma once
// A flight and a chart over it, and pixel helpers for the chart tests.

#include "chart/core/ChartColours.h"
#include "chart/core/ChartView.h"
#include "model/FlightData.h"
#include "model/Colour.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <vector>

namespace trelvano {

struct ChartFixture {
  FlightDataPtr flight = makeFlightData();
  FlightData& d = *flight;
  ChartState state;
  std::unique_ptr<ChartView> view = std::make_unique<ChartView>(d, state);

  // `points` points one second apart moving north at 10 m/s, 1 m higher each
  // second, the whole flight shown. A logger flight holds GPS altitudes
  // (decimetres, 4000 + 10 i) and channel c = c × 100 + i, raw (kind "keine").
  void makeFlight(int points, bool logger = true) {
    for (int i = 0; i < points; ++i) {
      FlightPoint& p = d.FlightPath[i];
      p = FlightPoint{};
      p.Y = 10.0 * i;
      p.Z = i;
      p.Altitude = 400 + i;
      p.TimeStep = 1.0;
      if (i < kSampleRows) {
        for (int c = 0; c < kChannelCount; ++c) d.ChannelSamples[i][c] = d.RawSamples[i][c] = c * 100 + i;
        d.RawSamples[i][kColGpsAlt] = 4000 + 10 * i;
      }
    }
    d.LastPoint = points - 1;
    d.RangeStart = 0;
    d.RangeEnd = points - 1;
    d.LoggerNG = logger;
  }
  // Channel c's raw samples from a function of the index.
  void setChannel(int c, const std::function<int(int)>& raw) {
    for (int i = 0; i <= d.LastPoint; ++i) d.ChannelSamples[i][c] = raw(i);
  }
  // Ticks curves without their handlers (as before the window's first redraw).
  void tickGps(std::initializer_list<int> curves) {
    for (int k : curves) view->controls.gpsTicked[k] = true;
  }
  void tickChannels(std::initializer_list<int> channels) {
    for (int c : channels) view->controls.channelTicked[c] = true;
  }

  int32_t pixel(int x, int y) const { return fromRgb32(view->image.pixel(x, y)); }
  // Rows of column x that hold `colour`.
  std::vector<int> rowsOf(int x, int32_t colour) const {
    std::vector<int> rows;
    for (int y = 0; y < view->height(); ++y)
      if (pixel(x, y) == colour) rows.push_back(y);
    return rows;
  }
  int count(int32_t colour) const {
    int n = 0;
    for (int y = 0; y < view->height(); ++y)
      for (int x = 0; x < view->width(); ++x) n += pixel(x, y) == colour;
    return n;
  }
};

}  // namespace trelvano
