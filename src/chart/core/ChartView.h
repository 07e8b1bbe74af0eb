#pragma once
// One chart window without its widgets: the chart image ImageV, the
// window's controls as values, the full redraw and every handler. The window
// (ChartWindow) calls these and copies `controls` and `image` to the
// screen. The state shared by all chart windows lives in ChartState.
//
// Like the controls they stand for, the setters run the control's handler
// when the value changes, whether the user or the program changed it.

#include "chart/core/ChartControls.h"
#include "chart/core/ChartState.h"
#include "model/FlightData.h"

#include <QImage>
#include <Qt>
#include <functional>
#include <vector>

namespace trelvano {

class Canvas;

class ChartView {
 public:
  static constexpr int kDefaultWidth = 778;
  static constexpr int kDefaultHeight = 305;
  // The mapping needs a few rows inside the 5-pixel margins.
  static constexpr int kMinWidth = 20;
  static constexpr int kMinHeight = 20;

  ChartView(FlightData& data, ChartState& chart, int width = kDefaultWidth, int height = kDefaultHeight);
  ChartView(const ChartView&) = delete;
  ChartView& operator=(const ChartView&) = delete;

  FlightData& data;
  ChartState& chart;
  ChartControls controls;
  QImage image;  // ImageV: Format_RGB32; marks stay until the next redraw

  int width() const { return image.width(); }
  int height() const { return image.height(); }

  // Window creation: no band, the "GPS" group from HasGpsColumns, redraw.
  void open();
  // The window became the active one: the "GPS" group again, redraw.
  void FormActivate();
  // The window's image got a new size (clamped to the minimum): redraw.
  void resizeImage(int width, int height);

  // Full redraw of the image and of the dependent controls.
  void GrafikUpdate();

  // Controls.
  void setGpsTicked(int curve, bool ticked);  // GpsCurve
  void setChannelTicked(int channel, bool ticked);
  void setScaleIndex(int index);
  void setZoomTicked(bool ticked);
  // "Alle Flüge": with "Höhe", the other shown flights' heights on the same
  // time axis and scale, each in its colour; redraw.
  void setAllFlightsTicked(bool ticked);

  // The heights of the other shown flights at the active flight's points
  // first … last (index i - first; NaN where one is not flying then),
  // relative to the height the "Höhe" curve starts from, each in its colour
  // ($00BBGGRR). Set by the program; none without it.
  struct OtherHeights {
    int32_t colour = 0;
    std::vector<double> metres;
  };
  std::function<void(int32_t first, int32_t last, std::vector<OtherHeights>& out)> otherHeights;
  void setWindDirectionPosition(int position);
  void setWindSpeedPosition(int position);
  // "geschätzt": Air-Speed takes out the wind estimated from the flight's
  // circles nearest in time to each point (the bars' wind where there is
  // none); choosing it ticks Air-Speed where it is not ticked yet.
  void setWindEstimated(bool estimated);
  void setTemperaturePosition(int position);

  // Handlers of the controls.
  void gpsCurveTicked();   // the four GPS boxes: no band, redraw
  void miscCurveTicked();  // ADC16 and the "Misc." boxes: the same
  void adcCurveTicked();   // ADC0 … ADC4: the same
  void scaleChosen();
  void zoomTicked();
  void windMoved();         // both wind bars
  void temperatureMoved();  // Temperature := -position, redraw

  // Mouse on ImageV, image pixels; `held` are the buttons down during the
  // event (on a press with the pressed one, on a release without the released one).
  void pressMouse(Qt::MouseButtons held, int x, int y);
  void dragMouse(Qt::MouseButtons held, int x, int y);
  void releaseMouse(Qt::MouseButtons held, int x, int y);
  void doubleClickChart();

  // Seconds since the first flight point at column x, linear over the window.
  double PunktZeit(int x) const;
  // Value at row y under the current ChartMin / ChartMax.
  double PunktWert(int y) const;

  // The replay cursor's mark: the column of flight point `point` in the
  // window of the last redraw (the last point on the last column), or -1
  // when the point lies outside that window.
  int pointColumn(long long point) const;
  // The flight point nearest column x of that window.
  int32_t columnPoint(int x) const;

 private:
  enum class Redraw { Done, Again };
  Redraw redrawOnce();
  void GrafikBlank(Canvas& canvas);
  void drawGrid(Canvas& canvas);
  void Parameteraktiv();
  // The curves; `canvas` is null in the pass that only gathers the range.
  void GpsHLine(Canvas* canvas);
  void GpsV2Line(Canvas* canvas);
  void GpsV3Line(Canvas* canvas);
  void GpsAVLine(Canvas* canvas);
  void GpsAGLLine(Canvas* canvas);
  // Again when the channel was constant and unticked itself.
  Redraw ExtraLine(int channel, Canvas* canvas);
  // A GPS curve through series[i - first] for the points first … last.
  void gpsCurve(const std::vector<double>& series, int32_t first, int32_t last, int32_t colour, Canvas* canvas);
  // True once per redraw for each GPS curve: its values must be computed.
  // Both passes of "einheitlich" draw the same values.
  bool needsSeries(int curve);
  // Widens [ChartMin, ChartMax] by the values (NaN: no value) of points first … last.
  void widenRange(const double* values, int32_t first, int32_t last);
  // Polyline through the values of points first … last with the current mapping.
  void drawSeries(Canvas& canvas, int32_t colour, const double* values, int32_t first, int32_t last);
  void resetBand();  // SelTop := image height, SelBottom := 0
  bool rangeGathered() const;
  void drawMeasurement(int x, int y);
  void drawDragRect(int x, int y);

  std::vector<OtherHeights> others_;             // the other flights' heights of the last redraw
  std::vector<double> series_[kGpsCurveCount];   // values of the GPS curves, index i - first
  long long seriesRedraw_[kGpsCurveCount] = {};  // redrawOnce() that computed them
  long long redraws_ = 0;                        // redrawOnce() calls
};

}  // namespace trelvano
