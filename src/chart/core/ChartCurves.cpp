// The curves of the chart: the four GPS curves and the thirteen channels.
#include "chart/core/ChartColours.h"
#include "chart/core/ChartScale.h"
#include "chart/core/ChartView.h"
#include "chart/core/GpsSeries.h"
#include "canvas/Canvas.h"

#include <cmath>

namespace trelvano {

namespace {

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

namespace {

// The rows that consecutive points of a polyline in one column cover. Each
// segment sets its pixels from its start toward its end, the end excluded;
// in one column that is a run of rows from the lowest to the highest point,
// each end included only if a segment left it.
struct ColumnRun {
  int x, last, lo, hi;
  bool loCovered, hiCovered;

  void start(int x0, int y) {
    x = x0;
    last = lo = hi = y;
    loCovered = hiCovered = false;
  }
  void add(int y) {
    if (y == last) return;
    if (last == lo) loCovered = true;
    if (last == hi) hiCovered = true;
    if (y < lo) lo = y, loCovered = false;
    if (y > hi) hi = y, hiCovered = false;
    last = y;
  }
  // Draws the run and leaves the pen on its last point.
  void draw(Canvas& canvas) const {
    const int64_t top = loCovered ? lo : int64_t(lo) + 1, bottom = hiCovered ? hi : int64_t(hi) - 1;
    if (top <= bottom) {
      canvas.moveTo(x, static_cast<int>(top));
      canvas.lineTo(x, static_cast<int>(bottom + 1));
    }
    canvas.moveTo(x, last);
  }
};

}  // namespace

// A polyline in copy mode and one colour: only the set of pixels counts. A
// long flight puts dozens of points into each column; their vertical segments
// are drawn as one line per column, the same pixels as segment by segment.
void ChartView::drawSeries(Canvas& canvas, int32_t colour, const double* values, int32_t first, int32_t last) {
  const ColumnMap column(width(), chart.WindowStart, chart.WindowEnd);
  if (column.empty()) return;  // a window of one point has no width to draw in
  const RowMap row(height(), chart.ChartMin, chart.ChartMax);
  canvas.setPenColor(colour);
  ColumnRun run{};
  bool started = false;
  for (int32_t i = first; i <= last; ++i) {
    const double v = values[i - first];
    if (std::isnan(v)) continue;  // no value: the line runs on to the next point
    const int x = column(i), y = row(v);
    if (!started) {
      run.start(x, y);
      started = true;
    } else if (x == run.x) {
      run.add(y);
    } else {
      run.draw(canvas);
      canvas.lineTo(x, y);
      run.start(x, y);
    }
  }
  if (started) run.draw(canvas);
}

void ChartView::gpsCurve(const std::vector<double>& series, int32_t first, int32_t last, int32_t colour,
                         Canvas* canvas) {
  widenRange(series.data(), first, last);
  if (canvas) drawSeries(*canvas, colour, series.data(), first, last);
}

bool ChartView::needsSeries(int curve) {
  if (seriesRedraw_[curve] == redraws_) return false;
  seriesRedraw_[curve] = redraws_;
  return true;
}

namespace {

// Fills `series` with value(i) for i = first … last (index i - first).
template <class Value>
void fillSeries(std::vector<double>& series, int32_t first, int32_t last, Value value) {
  if (first > last) return;
  const int64_t count = int64_t(last) - first + 1;
  checkIndex(count - 1, kPointCapacity);
  if (series.size() < static_cast<size_t>(count)) series.resize(static_cast<size_t>(count));
  for (int32_t i = first; i <= last; ++i) series[i - first] = value(i);
}

}  // namespace

// Every GPS curve starts from the range 0..0 in "individuell", so its range includes zero.
void ChartView::GpsHLine(Canvas* canvas) {
  if (!chart.UniformScale) chart.ChartMax = chart.ChartMin = 0;
  const int32_t first = chart.WindowStart, last = chart.WindowEnd;
  if (needsSeries(kGpsH)) fillSeries(series_[kGpsH], first, last, [this](int32_t i) { return heightValue(data, i); });
  // The other flights' heights share the scale: all of them widen it before anything is drawn.
  others_.clear();
  if (controls.allFlightsTicked && otherHeights && first <= last) otherHeights(first, last, others_);
  for (const OtherHeights& o : others_)
    if (o.metres.size() >= size_t(last - first + 1)) widenRange(o.metres.data(), first, last);
  if (canvas && !others_.empty()) {
    widenRange(series_[kGpsH].data(), first, last);
    for (const OtherHeights& o : others_)  // below the active flight's curve
      if (o.metres.size() >= size_t(last - first + 1)) drawSeries(*canvas, o.colour, o.metres.data(), first, last);
  }
  gpsCurve(series_[kGpsH], first, last, chart_colours::kHoehe, canvas);
}

void ChartView::GpsV2Line(Canvas* canvas) {
  if (!chart.UniformScale) chart.ChartMax = chart.ChartMin = 0;
  const int32_t first = chart.WindowStart + 1, last = chart.WindowEnd;
  if (needsSeries(kGpsV2)) fillSeries(series_[kGpsV2], first, last, [this](int32_t i) { return GpsV2Value(data, i); });
  gpsCurve(series_[kGpsV2], first, last, chart_colours::kGroundspeed, canvas);
}

void ChartView::GpsV3Line(Canvas* canvas) {
  if (!chart.UniformScale) chart.ChartMax = chart.ChartMin = 0;
  const int32_t first = chart.WindowStart + 1, last = chart.WindowEnd;
  if (needsSeries(kGpsV3)) fillSeries(series_[kGpsV3], first, last, [this](int32_t i) { return GpsV3Value(data, i); });
  gpsCurve(series_[kGpsV3], first, last, chart_colours::kSpeed, canvas);
}

void ChartView::GpsAGLLine(Canvas* canvas) {
  if (!chart.UniformScale) chart.ChartMax = chart.ChartMin = 0;
  const int32_t first = chart.WindowStart, last = chart.WindowEnd;
  if (needsSeries(kGpsAGL))
    fillSeries(series_[kGpsAGL], first, last, [this](int32_t i) { return heightAboveGroundValue(data, i); });
  gpsCurve(series_[kGpsAGL], first, last, chart_colours::kHeightAboveGround, canvas);
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
  Wind atCursor{};
  if (controls.windEstimated && estimatedWindAt(data, data.CursorPoint, atCursor)) {
    // Each point with the estimate nearest to it, over its own time step.
    if (canvas) canvas->textOut(20, 36, QStringLiteral("geschätzt, am Cursor: ") + windText(atCursor));
    if (needsSeries(kGpsAV))
      fillSeries(series_[kGpsAV], first, last, [this, &step](int32_t i) {
        Wind w{};
        if (!estimatedWindAt(data, i, w)) return GpsAVValue(data, i, step);
        return GpsAVValue(data, i, windDisplacement(w, data.FlightPath[i].TimeStep));
      });
    gpsCurve(series_[kGpsAV], first, last, chart_colours::kSpeed, canvas);
    return;
  }
  if (needsSeries(kGpsAV))
    fillSeries(series_[kGpsAV], first, last, [this, &step](int32_t i) { return GpsAVValue(data, i, step); });
  gpsCurve(series_[kGpsAV], first, last, chart_colours::kSpeed, canvas);
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
  if (canvas && first <= last) drawSeries(*canvas, chart_colours::kChannels[c], values.column(c) + first, first, last);
  return Redraw::Done;
}

}  // namespace trelvano
