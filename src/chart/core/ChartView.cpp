#include "chart/core/ChartView.h"

#include "chart/core/ChartColours.h"
#include "chart/core/ChartScale.h"
#include "model/Numbers.h"
#include "canvas/Canvas.h"

#include <algorithm>

namespace trelvano {

namespace {
// "einheitlich" starts from this reversed range; the first curve turns it round.
constexpr double kUniformStart = 1000000;
}  // namespace

const char* const kChannelBoxCaptions[kChannelCount] = {
    "ADC16", "ADC0", "ADC1", "ADC2", "ADC3", "ADC4", "SpeedProp", "Drehzahl", "RC1", "RC2", "RC3", "Extra1", "Extra2"};

ChartView::ChartView(FlightData& flight, ChartState& shared, int width, int height)
    : data(flight),
      chart(shared),
      image(std::max(width, kMinWidth), std::max(height, kMinHeight), QImage::Format_RGB32) {
  image.fill(Qt::white);
}

void ChartView::open() {
  chart.SelTop = height();
  chart.SelBottom = 0;
  chart.bandSelected = false;
  controls.gpsGroupEnabled = data.HasGpsColumns;
  GrafikUpdate();
}

void ChartView::FormActivate() {
  controls.gpsGroupEnabled = data.HasGpsColumns;
  GrafikUpdate();
}

void ChartView::resizeImage(int width, int height) {
  image = QImage(std::max(width, kMinWidth), std::max(height, kMinHeight), QImage::Format_RGB32);
  image.fill(Qt::white);
  GrafikUpdate();
}

// A handler that changes a control in the middle of a redraw (a constant
// channel unticking itself, the temperature bar taking its position) redraws
// the chart from that control's state; redrawOnce() then reports Again and
// the redraw starts over. Each restart settles one control, so this ends.
void ChartView::GrafikUpdate() {
  while (redrawOnce() == Redraw::Again) {
  }
}

ChartView::Redraw ChartView::redrawOnce() {
  ++redraws_;
  Parameteraktiv();

  controls.zoomEnabled = data.RangeStart != 0 || data.RangeEnd != data.LastPoint;
  if (!controls.zoomEnabled) controls.zoomTicked = false;
  if (controls.zoomTicked) {
    chart.WindowStart = data.RangeStart;
    chart.WindowEnd = data.RangeEnd;
  } else {
    chart.WindowStart = 0;
    chart.WindowEnd = data.LastPoint;
  }

  // The bar holds minus the temperature; when it has to move, its change
  // handler stores its whole-number value back as the temperature.
  const int64_t degrees = Round(data.Temperature);
  controls.LabelTemp = QString::number(degrees) + QStringLiteral("°");
  const int position = static_cast<int>(std::clamp<int64_t>(-degrees, kTempBarMin, kTempBarMax));
  if (position != controls.temperaturePosition) {
    controls.temperaturePosition = position;
    data.Temperature = -position;
    return Redraw::Again;
  }

  chart.UniformScale = controls.scaleIndex == 0;
  if (chart.UniformScale) {
    chart.ChartMax = -kUniformStart;
    chart.ChartMin = kUniformStart;
  }
  controls.windGroupVisible = controls.gpsTicked[kGpsAV];

  Canvas canvas(image);
  // "einheitlich" runs pass 1 to gather the common range and pass 0 to draw;
  // "individuell" only pass 1. The background of pass 0 covers everything
  // pass 1 would draw, so only the last pass draws.
  for (int pass = 1; pass >= controls.scaleIndex; --pass) {
    Canvas* draw = pass == controls.scaleIndex ? &canvas : nullptr;
    if (draw) GrafikBlank(canvas);
    if (draw && chart.UniformScale && pass == 0) drawGrid(canvas);
    if (controls.gpsTicked[kGpsH]) GpsHLine(draw);
    if (controls.gpsTicked[kGpsV2]) GpsV2Line(draw);
    if (controls.gpsTicked[kGpsV3]) GpsV3Line(draw);
    if (controls.gpsTicked[kGpsAV]) GpsAVLine(draw);
    if (controls.gpsTicked[kGpsAGL]) GpsAGLLine(draw);
    for (int c = 0; c < kChannelCount; ++c)
      if (controls.channelTicked[c] && ExtraLine(c, draw) == Redraw::Again) return Redraw::Again;
  }

  for (int c = 0; c < kChannelCount; ++c) controls.channelCaption[c] = data.ChannelParams[c].Name;
  return Redraw::Done;
}

// Unzoomed, the shown section (and a selected band) is white on light grey;
// zoomed, the whole image is white.
void ChartView::GrafikBlank(Canvas& canvas) {
  const int w = width(), h = height();
  int left = 0, top = 0, right = w, bottom = h;
  if (!controls.zoomTicked) {
    canvas.setBrushColor(chart_colours::kOutsideSection);
    canvas.fillRect(0, 0, w, h);
    // A flight of one point has no index steps: its section is the whole width.
    if (data.LastPoint != 0) {
      left = checkedInt32(Round(double(w) / data.LastPoint * data.RangeStart));
      right = checkedInt32(Round(double(w) / data.LastPoint * data.RangeEnd));
    }
    const int32_t selTop = chart.bandSelected ? chart.SelTop : h;
    const int32_t selBottom = chart.bandSelected ? chart.SelBottom : 0;
    top = checkedInt32(int64_t(h) - 1 - selTop);
    bottom = checkedInt32(int64_t(h) - 1 - selBottom);
  }
  canvas.setBrushColor(colours::kWhite);
  canvas.setPenColor(colours::kWhite);
  canvas.fillRect(left, top, right, bottom);
}

// Dotted grey lines about five to the range, dash-dot at 0, each labelled
// with its value as a whole number.
void ChartView::drawGrid(Canvas& canvas) {
  for (const GridLine& line : valueGrid(height(), chart.ChartMin, chart.ChartMax)) {
    canvas.setPenColor(chart_colours::kMarks);
    canvas.setPenStyle(line.zero ? PenStyle::DashDot : PenStyle::Dot);
    canvas.moveTo(0, line.y);
    canvas.lineTo(width(), line.y);
    canvas.setPenStyle(PenStyle::Solid);
    canvas.setFontColor(chart_colours::kMarks);
    canvas.textOut(2, line.y - 12, QString::number(line.label));
    canvas.setFontColor(colours::kBlack);
  }
}

void ChartView::setGpsTicked(int curve, bool ticked) {
  bool& box = controls.gpsTicked[checkIndex(curve, kGpsCurveCount)];
  if (box == ticked) return;
  box = ticked;
  gpsCurveTicked();
}

void ChartView::setChannelTicked(int channel, bool ticked) {
  bool& box = controls.channelTicked[checkIndex(channel, kChannelCount)];
  if (box == ticked) return;
  box = ticked;
  if (channel >= 1 && channel <= 5)
    adcCurveTicked();
  else
    miscCurveTicked();
}

void ChartView::setScaleIndex(int index) {
  checkIndex(index, 2);
  if (controls.scaleIndex == index) return;
  controls.scaleIndex = index;
  scaleChosen();
}

void ChartView::setAllFlightsTicked(bool ticked) {
  if (controls.allFlightsTicked == ticked) return;
  controls.allFlightsTicked = ticked;
  GrafikUpdate();
}

void ChartView::setZoomTicked(bool ticked) {
  if (controls.zoomTicked == ticked) return;
  controls.zoomTicked = ticked;
  zoomTicked();
}

void ChartView::setWindDirectionPosition(int position) {
  position = std::clamp(position, 0, kWindDirectionMax);
  if (controls.windDirectionPosition == position) return;
  controls.windDirectionPosition = position;
  windMoved();
}

void ChartView::setWindSpeedPosition(int position) {
  position = std::clamp(position, 0, kWindSpeedMax);
  if (controls.windSpeedPosition == position) return;
  controls.windSpeedPosition = position;
  windMoved();
}

void ChartView::setTemperaturePosition(int position) {
  position = std::clamp(position, kTempBarMin, kTempBarMax);
  if (controls.temperaturePosition == position) return;
  controls.temperaturePosition = position;
  temperatureMoved();
}

void ChartView::resetBand() {
  chart.SelTop = height();
  chart.SelBottom = 0;
  chart.bandSelected = false;
}

void ChartView::gpsCurveTicked() {
  resetBand();
  GrafikUpdate();
}

void ChartView::miscCurveTicked() { gpsCurveTicked(); }
void ChartView::adcCurveTicked() { gpsCurveTicked(); }
void ChartView::scaleChosen() { GrafikUpdate(); }
void ChartView::zoomTicked() { GrafikUpdate(); }
void ChartView::windMoved() { GrafikUpdate(); }

void ChartView::setWindEstimated(bool estimated) {
  if (controls.windEstimated == estimated) return;
  controls.windEstimated = estimated;
  // The estimate shows in Air-Speed: choosing it ticks the curve too.
  if (estimated && !controls.gpsTicked[kGpsAV]) {
    setGpsTicked(kGpsAV, true);
    return;
  }
  GrafikUpdate();
}

void ChartView::temperatureMoved() {
  data.Temperature = -controls.temperaturePosition;
  GrafikUpdate();
}

}  // namespace trelvano
