#pragma once
// The chart window "Flugverlauf": the chart image and its controls. It only
// wires widgets and mouse events to the core (ChartView); every handler runs
// through the error guard and then copies the core's controls to the widgets.
// Closing hides the window; the main window keeps it until the program ends.

#include "chart/core/ChartView.h"
#include "ui/ErrorGuard.h"

#include <QWidget>
#include <functional>
#include <memory>

class QCheckBox;
class QGroupBox;
class QLabel;
class QPushButton;
class QRadioButton;
class QSlider;

namespace trelvano {
class ChartImageView;

class ChartWindow : public QWidget {
 public:
  // Creates the window from the flight and the shared chart state and draws
  // the chart; the caller shows it.
  ChartWindow(FlightData& data, ChartState& chart, QWidget* parent = nullptr);
  ~ChartWindow() override;

  ChartView& core() { return *core_; }
  ErrorGuard& errorGuard() { return guard_; }
  // Runs a handler through the error guard and shows the resulting state.
  void handle(const std::function<void()>& handler);
  void showState();

  // Moves the replay cursor's mark to the flight's CursorPoint, or removes it
  // while the cursor is not `placed` (repainting two columns of the widget;
  // the chart is not redrawn).
  void showCursor(bool placed);
  int cursorMarkColumn() const;  // -1 while the point lies outside the chart's window
  // A middle click or Ctrl + left click on the chart hands the point under the pointer to `pick`.
  void setCursorPicker(std::function<void(int32_t point)> pick);
  // "Bild speichern…" (context menu of the controls, Ctrl+S) hands the chart image to `save`.
  void setPictureSaver(std::function<void(const QImage&)> save);

 protected:
  void changeEvent(QEvent* e) override;
  void resizeEvent(QResizeEvent* e) override;

 private:
  void buildControls(QWidget* panel);
  QSlider* makeBar(QWidget* parent, const char* objectName, const char* hint, int min, int max, int x,
                   void (ChartView::*set)(int));

  std::unique_ptr<ChartView> core_;
  ErrorGuard guard_;
  // An error box hands the activation back to this window when it closes:
  // that activation must not redraw into the same error again.
  bool errorBoxOpen_ = false;
  bool skipActivation_ = false;

  ChartImageView* ImageV_ = nullptr;
  QWidget* panel_ = nullptr;  // everything below the image; moves with the bottom edge
  QGroupBox* gpsGroup_ = nullptr;
  QGroupBox* GroupBoxWind_ = nullptr;
  QCheckBox* gpsBox_[kGpsCurveCount] = {};
  QCheckBox* channelBox_[kChannelCount] = {};
  QCheckBox* ZoomCheckBox_ = nullptr;
  QCheckBox* allFlightsBox_ = nullptr;
  QCheckBox* windEstimatedBox_ = nullptr;
  bool cursorPlaced_ = false;  // the main window's replay cursor is to be marked
  QRadioButton* scaleItem_[2] = {};
  QSlider* TrackBarWindRichtung_ = nullptr;
  QSlider* TrackBarWindSpeed_ = nullptr;
  QSlider* TrackBarTemp_ = nullptr;
  QLabel* LabelWindrichtung_ = nullptr;
  QLabel* LabelWindstaerke_ = nullptr;
  QLabel* LabelTemp_ = nullptr;
  QLabel* Label_[6] = {};
  QPushButton* closeButton_ = nullptr;
};

}  // namespace trelvano
