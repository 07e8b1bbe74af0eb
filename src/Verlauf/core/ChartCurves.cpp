// The curves of the chart: the four GPS curves and the thirteen channels.
#include "Verlauf/core/ChartScale.h"
#include "Verlauf/core/ChartView.h"
#include "Verlauf/core/GpsSeries.h"
#include "ui/Canvas.h"

#include <cmath>

namespace {

constexpr int32_t kColourHoehe = 0x00FF0000;   // blue
constexpr int32_t kColourGround = 0x00800000;  // navy
constexpr int32_t kColourSpeed = 0x00008000;   // green: "3D-Speed" and "Air-Speed"
constexpr int32_t kChannelColours[kChannelCount] = {
    0x00008080, 0x00FFFF00, 0x000000FF, 0x00800080, 0x00000000, 0x00808080, 0x00008080,
    0x00FFFF00, 0x000000FF, 0x00800080, 0x00000000, 0x00808080, 0x00808080};
constexpr int kDrehzahl = 7;
constexpr double kDrehzahlCap = 100000;

}  // namespace

// Enables the channel boxes whose channel varies over the whole flight. The
// sample table holds this flight's samples only while a new-format recording
// is loaded; otherwise every channel box is disabled.
void ChartView::Parameteraktiv() {
  if (!data.LoggerNG) {
    for (bool& enabled : controls.channelEnabled) enabled = false;
    return;
  }
  chart.values.refresh(data);
  for (int c = 0; c < kChannelCount; ++c)
    controls.channelEnabled[c] = chart.values.minimum(c) != chart.values.maximum(c);
}

void ChartView::widenRange(const double* values, int32_t first, int32_t last) {
  for (int32_t i = first; i <= last; ++i) {
    const double v = values[i - first];  // NaN compares false both ways: no value, no widening
    if (v > chart.ChartMax) chart.ChartMax = v;
    if (v < chart.ChartMin) chart.ChartMin = v;
  }
}

void ChartView::drawSeries(Canvas& canvas, int32_t colour, const double* values, int32_t first, int32_t last) {
  const ColumnMap column(width(), chart.WindowStart, chart.WindowEnd);
  if (column.empty()) return;  // a window of one point has no width to draw in
  const RowMap row(height(), chart.ChartMin, chart.ChartMax);
  canvas.setPenColor(colour);
  bool started = false;
  for (int32_t i = first; i <= last; ++i) {
    const double v = values[i - first];
    if (std::isnan(v)) continue;
    const int x = column(i), y = row(v);
    if (started) {
      canvas.lineTo(x, y);
    } else {
      canvas.moveTo(x, y);
      started = true;
    }
  }
}

// In "individuell" every GPS curve's range starts at 0..0, so it includes zero.
void ChartView::gpsCurve(int32_t first, int32_t last, int32_t colour, Canvas* canvas) {
  widenRange(series_.data(), first, last);
  if (canvas) drawSeries(*canvas, colour, series_.data(), first, last);
}

namespace {

// Fills `series` with value(i) for i = first … last (index i - first).
template <class Value>
void fillSeries(std::vector<double>& series, int32_t first, int32_t last, Value value) {
  if (first > last) return;
  checkIndex(int64_t(last) - first, static_cast<int>(series.size()));
  for (int32_t i = first; i <= last; ++i) series[i - first] = value(i);
}

}  // namespace

void ChartView::GpsHLine(Canvas* canvas) {
  if (!chart.UniformScale) chart.ChartMax = chart.ChartMin = 0;
  const int32_t first = chart.WindowStart, last = chart.WindowEnd;
  fillSeries(series_, first, last, [this](int32_t i) { return heightValue(data, i); });
  gpsCurve(first, last, kColourHoehe, canvas);
}

void ChartView::GpsV2Line(Canvas* canvas) {
  if (!chart.UniformScale) chart.ChartMax = chart.ChartMin = 0;
  const int32_t first = chart.WindowStart + 1, last = chart.WindowEnd;
  fillSeries(series_, first, last, [this](int32_t i) { return GpsV2Value(data, i); });
  gpsCurve(first, last, kColourGround, canvas);
}

void ChartView::GpsV3Line(Canvas* canvas) {
  if (!chart.UniformScale) chart.ChartMax = chart.ChartMin = 0;
  const int32_t first = chart.WindowStart + 1, last = chart.WindowEnd;
  fillSeries(series_, first, last, [this](int32_t i) { return GpsV3Value(data, i); });
  gpsCurve(first, last, kColourSpeed, canvas);
}

// The wind is taken out with the time step of the replay cursor's point.
void ChartView::GpsAVLine(Canvas* canvas) {
  if (!chart.UniformScale) chart.ChartMax = chart.ChartMin = 0;
  const Wind wind = windFromBars(controls.windDirectionPosition, controls.windSpeedPosition);
  controls.LabelWindrichtung = QString::number(Round(wind.direction)) + QStringLiteral("°");
  controls.LabelWindstaerke = QString::number(Round(wind.speed)) + QStringLiteral("m/s");
  if (canvas) canvas->textOut(20, 20, windText(wind));
  const WindStep step = windDisplacement(wind, data.FlightPath[data.CursorPoint].TimeStep);
  const int32_t first = chart.WindowStart + 1, last = chart.WindowEnd;
  fillSeries(series_, first, last, [this, &step](int32_t i) { return GpsAVValue(data, i, step); });
  gpsCurve(first, last, kColourSpeed, canvas);
}

// A channel curve. In "individuell" its range starts at the flight's first
// sample (not the window's). A channel whose range has zero width unticks
// itself: its box's handler then redraws without it.
ChartView::Redraw ChartView::ExtraLine(int c, Canvas* canvas) {
  if (!data.LoggerNG) return Redraw::Done;  // the samples are not this flight's
  const ChannelValues& values = chart.values;
  if (!chart.UniformScale) chart.ChartMax = chart.ChartMin = values.value(0, c);
  const int32_t first = chart.WindowStart, last = chart.WindowEnd;
  if (first <= last) {
    checkIndex(first, values.count());
    checkIndex(last, values.count());
    widenRange(values.column(c) + first, first, last);
  }
  if (c == kDrehzahl && chart.ChartMax > kDrehzahlCap) chart.ChartMax = kDrehzahlCap;
  if (chart.ChartMin == chart.ChartMax) {
    controls.channelTicked[c] = false;
    resetBand();
    return Redraw::Again;
  }
  if (canvas && first <= last) drawSeries(*canvas, kChannelColours[c], values.column(c) + first, first, last);
  return Redraw::Done;
}
