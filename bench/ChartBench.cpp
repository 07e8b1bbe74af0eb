// The chart window's full redraw on the largest logger flight: all four GPS
// curves and all thirteen channels in "einheitlich", the redraw that follows
// every move of the wind bars; and the redraw after a move of the temperature
// bar, which converts the "Höhe" channel again.
#include "chart/core/ChartView.h"
#include "import/ParameterFile.h"
#include "model/FlightData.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <numbers>
#include <random>

using namespace trelvano;

namespace {

// 32768 one-second samples of a motor glider: climbs under power, glides and
// thermals, with sensor noise on every channel. Converted through the example
// parameter file (ADC16 barometric "Höhe", Speed airspeed, Drehzahl motor).
FlightDataPtr makeLoggerFlight() {
  FlightDataPtr data = makeFlightData();
  FlightData& d = *data;
  Ladeparameter(d.ChannelParams, QStringLiteral(TRELVANO_SOURCE_DIR "/examples/default.par"));
  std::mt19937 rng(7);
  std::normal_distribution<double> noise(0.0, 1.0);
  constexpr int kLast = kSampleRows - 1;
  double x = 0, y = 0, z = 0, heading = 0;
  for (int i = 0; i <= kLast; ++i) {
    const int phase = i % 1200;  // 2 min motor climb, 18 min soaring
    const bool motor = phase < 120;
    const double climb = motor ? 3.0 : (phase % 300 < 150 ? 1.2 : -0.9);
    const double speed = motor ? 18 : 12 + 3 * std::sin(i / 40.0);
    heading += motor ? 0.002 : (phase % 300 < 150 ? 0.25 : 0.01);
    x += speed * std::cos(heading);
    y += speed * std::sin(heading);
    z = std::max(0.0, z + climb + 0.2 * noise(rng));
    FlightPoint& p = d.FlightPath[i];
    p.X = x, p.Y = y, p.Z = z;
    p.Altitude = 420 + z;
    p.TimeStep = 1.0;
    p.Pen = i == 0 ? kPenMove : kPenLine;

    SampleRow& row = d.RawSamples[i];
    const double pressure = 1013.25 * std::pow(1 - 0.0065 * p.Altitude / 288.15, 5.255);
    row[0] = static_cast<int32_t>(std::lround((1100 - pressure) / 0.01 + 2 * noise(rng)));
    for (int c = 1; c <= 5; ++c) row[c] = static_cast<int32_t>(512 + 100 * c + 20 * noise(rng));
    row[6] = static_cast<int32_t>(std::lround(400 + speed * speed * 0.3 + 3 * noise(rng)));
    row[7] = motor ? static_cast<int32_t>(std::lround(3200 + 40 * noise(rng))) : 65535;
    for (int c = 8; c <= 10; ++c) row[c] = static_cast<int32_t>(1500 + (motor ? 400 : 0) + 30 * noise(rng));
    row[11] = static_cast<int32_t>(i % 97);
    row[12] = static_cast<int32_t>(std::lround(10 * noise(rng)));
    row[kColLat] = 4807038;
    row[kColLon] = 1134567;
    row[kColGpsAlt] = static_cast<int32_t>(std::lround(p.Altitude * 10));
  }
  d.ChannelSamples = d.RawSamples;
  d.LastPoint = kLast;
  d.RangeStart = 0;
  d.RangeEnd = kLast;
  d.CursorPoint = kLast / 2;
  d.LoggerNG = true;
  d.Temperature = 20;
  return data;
}

FlightData& loggerFlight() {
  static FlightDataPtr flight = makeLoggerFlight();
  return *flight;
}

// A chart with every curve ticked, drawn once as the window does on creation.
struct FullChart {
  ChartState state;
  ChartView view;
  FullChart(int w, int h) : view(loggerFlight(), state, w, h) {
    for (bool& ticked : view.controls.gpsTicked) ticked = true;
    for (bool& ticked : view.controls.channelTicked) ticked = true;
    view.controls.windSpeedPosition = 10;
    view.open();
  }
};

void countCurves(benchmark::State& state, const ChartView& view) {
  int ticked = 0;
  for (bool t : view.controls.gpsTicked) ticked += t;
  for (bool t : view.controls.channelTicked) ticked += t;
  state.counters["curves"] = ticked;
}

// Arguments: image width and height.
void BM_ChartGrafikUpdate(benchmark::State& state) {
  FullChart chart(static_cast<int>(state.range(0)), static_cast<int>(state.range(1)));
  for (auto _ : state) {
    chart.view.GrafikUpdate();
    benchmark::DoNotOptimize(chart.view.image.constBits());
  }
  countCurves(state, chart.view);
}

// The temperature bar moves by one degree each time: the "Höhe" channel is
// converted again before the redraw.
void BM_ChartTemperatureChange(benchmark::State& state) {
  FullChart chart(static_cast<int>(state.range(0)), static_cast<int>(state.range(1)));
  const long long before = chart.state.values.conversions();
  int step = 0;
  for (auto _ : state) {
    chart.view.setTemperaturePosition(step++ % 2 ? -20 : -21);
    benchmark::DoNotOptimize(chart.view.image.constBits());
  }
  countCurves(state, chart.view);
  state.counters["conversions"] =
      benchmark::Counter(double(chart.state.values.conversions() - before), benchmark::Counter::kAvgIterations);
}

}  // namespace

BENCHMARK(BM_ChartGrafikUpdate)
    ->ArgNames({"w", "h"})
    ->Args({778, 305})
    ->Args({1600, 900})
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ChartTemperatureChange)
    ->ArgNames({"w", "h"})
    ->Args({778, 305})
    ->Args({1600, 900})
    ->Unit(benchmark::kMillisecond);
