// The mouse on the chart: a press probes time and value, a left drag
// measures a rate, a right drag selects a section of the flight, a double
// click toggles the zoom.
#include "chart/core/ChartColours.h"
#include "chart/core/ChartScale.h"
#include "chart/core/ChartView.h"
#include "model/Numbers.h"
#include "canvas/Canvas.h"

#include <algorithm>
#include <cmath>

namespace trelvano {

namespace {

// The focus rectangle between two corners, whichever way the drag went.
void focusRect(Canvas& canvas, const DragCorners& r) {
  canvas.drawFocusRect(std::min(r.x0, r.x1), std::min(r.y0, r.y1), std::max(r.x0, r.x1), std::max(r.y0, r.y1));
}

void dottedLine(Canvas& canvas, int x0, int y0, int x1, int y1) {
  canvas.setPenColor(chart_colours::kMarks);
  canvas.setPenStyle(PenStyle::Dot);
  canvas.moveTo(x0, y0);
  canvas.lineTo(x1, y1);
  canvas.setPenStyle(PenStyle::Solid);
}

}  // namespace

double ChartView::PunktZeit(int x) const {
  double offset = 0;
  for (int32_t j = 1; j <= chart.WindowStart; ++j) offset += data.FlightPath[j].TimeStep;
  double span = 0;
  for (int32_t j = chart.WindowStart + 1; j <= chart.WindowEnd; ++j) span += data.FlightPath[j].TimeStep;
  return span / width() * x + offset;
}

double ChartView::PunktWert(int y) const { return rowValue(height(), chart.ChartMin, chart.ChartMax, y); }

// After "einheitlich" starts the range reversed by 2 000 000, any drawn curve turns it round.
bool ChartView::rangeGathered() const { return chart.ChartMax - chart.ChartMin > -1000000; }

void ChartView::pressMouse(Qt::MouseButtons held, int x, int y) {
  GrafikUpdate();  // wipes every earlier mark
  const int h = height();
  if (held & Qt::RightButton) {
    chart.DragRectShown = false;
    chart.SelStartX = x;
    chart.SelStartY = (h - 1) - y;
    chart.DragRect = {x, y, x, y};
  }
  const bool probeValue = chart.UniformScale && rangeGathered();
  if ((held & Qt::LeftButton) && probeValue) {
    chart.MeasureLineShown = false;
    chart.MeasureStart = QPoint(x, y);
    chart.MeasureT0 = PunktZeit(x);
    chart.MeasureV0 = PunktWert(y);
  }
  Canvas canvas(image);
  dottedLine(canvas, x, 5, x, h - 5);
  canvas.textOut(x + 2, 8, QString::number(Round(PunktZeit(x))) + QStringLiteral(" s"));
  if (probeValue) {
    dottedLine(canvas, x - 20, y, x + 20, y);
    canvas.textOut(x + 2, std::max(y - 10, 35), probeValueText(PunktWert(y)));
  }
}

void ChartView::dragMouse(Qt::MouseButtons held, int x, int y) {
  if (held & Qt::RightButton) {
    // On the bottom row or the right column the selection ends as if the
    // button had been released there. Beyond them the drag goes on (a fast
    // move out of the image jumps over them), and the release ends it.
    if (y == height() - 1 || x == width() - 1) {
      releaseMouse(Qt::NoButton, x, y);
      return;
    }
    drawDragRect(x, y);
  }
  if ((held & Qt::LeftButton) && chart.UniformScale && rangeGathered()) drawMeasurement(x, y);
}

void ChartView::drawDragRect(int x, int y) {
  Canvas canvas(image);
  if (chart.DragRectShown) focusRect(canvas, chart.ShownDragRect);
  chart.DragRect.x1 = x;
  chart.DragRect.y1 = y;
  chart.SelEndX = x;
  chart.SelEndY = (height() - 1) - y;
  focusRect(canvas, chart.DragRect);
  chart.ShownDragRect = chart.DragRect;
  chart.DragRectShown = true;
}

// The line from the press to the pointer, drawn and erased in XOR, and above
// it the value and time differences and the rate.
void ChartView::drawMeasurement(int x, int y) {
  Canvas canvas(image);
  canvas.setPenColor(chart_colours::kMarks);
  if (chart.MeasureLineShown) {
    canvas.setPenMode(PenMode::Xor);
    canvas.moveTo(chart.MeasureStart.x(), chart.MeasureStart.y());
    canvas.lineTo(chart.MeasureEnd.x(), chart.MeasureEnd.y());
    canvas.setPenMode(PenMode::Copy);
  }
  chart.MeasureEnd = QPoint(x, y);
  chart.MeasureT1 = PunktZeit(x);
  chart.MeasureV1 = PunktWert(y);
  const double dv = chart.MeasureV1 - chart.MeasureV0, dt = chart.MeasureT1 - chart.MeasureT0;
  canvas.setFontColor(chart_colours::kMarks);
  canvas.textOut(width() - 100, 8, QStringLiteral("%1 in %2 s =  ").arg(Round(dv)).arg(Round(dt)));
  canvas.setFontColor(colours::kBlack);
  if (std::fabs(dt) > 0.0001) canvas.textOut(width() - 100, 25, rateText(dv / dt) + QStringLiteral(" /s         "));
  canvas.setPenMode(PenMode::Xor);
  canvas.moveTo(chart.MeasureStart.x(), chart.MeasureStart.y());
  canvas.lineTo(x, y);
  canvas.setPenMode(PenMode::Copy);
  chart.MeasureLineShown = true;
}

// Only a drag right and down selects: its columns become the flight section
// (a refinement of the shown window when zoomed), its rows the band.
void ChartView::releaseMouse(Qt::MouseButtons held, int x, int y) {
  if (!chart.DragRectShown || (held & Qt::RightButton)) return;
  const int w = width(), h = height();
  chart.SelEndX = x;
  chart.SelEndY = (h - 1) - y;
  chart.DragRectShown = false;
  if (!(chart.SelStartX < chart.SelEndX && chart.SelStartY > chart.SelEndY)) {
    Canvas canvas(image);
    focusRect(canvas, chart.ShownDragRect);
    return;
  }
  const double pointsPerColumn = (double(chart.WindowEnd) - chart.WindowStart) / w;
  data.RangeStart = checkedInt32(Round(pointsPerColumn * chart.SelStartX + chart.WindowStart));
  data.RangeEnd =
      checkedInt32(std::min<int64_t>(Round(pointsPerColumn * chart.SelEndX + chart.WindowStart), data.LastPoint));
  chart.SelTop = chart.SelStartY;
  chart.SelBottom = chart.SelEndY;
  chart.bandSelected = true;

  const double range = chart.ChartMax - chart.ChartMin;
  chart.SelMax1 = range * chart.SelTop / h + chart.ChartMin;
  chart.SelMin1 = range * chart.SelBottom / h + chart.ChartMin;
  controls.Label[0] = QStringLiteral("max: ") + formatGeneral(chart.ChartMax);
  controls.Label[1] = QStringLiteral("min: ") + formatGeneral(chart.ChartMin);
  controls.Label[2] = QStringLiteral("maxmax: ") + QString::number(chart.SelTop);
  controls.Label[3] = QStringLiteral("minmin: ") + QString::number(chart.SelBottom);
  controls.Label[4] = QStringLiteral("max1: ") + formatGeneral(chart.SelMax1);
  controls.Label[5] = QStringLiteral("min1: ") + formatGeneral(chart.SelMin1);
  GrafikUpdate();
}

void ChartView::doubleClickChart() {
  if (controls.zoomEnabled) setZoomTicked(!controls.zoomTicked);
}

}  // namespace trelvano
