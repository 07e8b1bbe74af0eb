#pragma once
// The state every chart window shares: the value range and index window of
// the last redraw, the selected band, the right-drag selection and the
// left-drag measurement, and the converted channel values. The program holds
// one (MainController::chart); each chart window draws with it, so a drag
// begun in one window is seen by the others.

#include "chart/core/ChannelValues.h"

#include <QPoint>
#include <cstdint>

namespace trelvano {

// Two corners as the mouse gave them, in image pixels (not normalised).
struct DragCorners {
  int x0 = 0, y0 = 0, x1 = 0, y1 = 0;
};

struct ChartState {
  // Value range of the row mapping: ChartMin on row H - 5, ChartMax on row 5.
  double ChartMax = 0;
  double ChartMin = 0;
  bool UniformScale = false;  // "einheitlich": curves only widen the range
  // Flight point indexes on column 0 and column W.
  int32_t WindowStart = 0;
  int32_t WindowEnd = 0;
  // Band of the last selection, rows counted upward from the bottom row.
  // SelTop = image height and SelBottom = 0: no band.
  int32_t SelTop = 0;
  int32_t SelBottom = 0;
  // A selection set the band (false after a reset). Windows of other heights
  // than the one that reset it then still see no band.
  bool bandSelected = false;

  // Right drag: start and end column, and rows counted upward from the bottom row.
  int32_t SelStartX = 0, SelStartY = 0, SelEndX = 0, SelEndY = 0;
  DragCorners DragRect;       // from the press to the pointer
  DragCorners ShownDragRect;  // the rectangle on the image, for erasing
  bool DragRectShown = false;

  // Left drag: the measurement line, its times (s) and values.
  QPoint MeasureStart, MeasureEnd;
  double MeasureT0 = 0, MeasureT1 = 0, MeasureV0 = 0, MeasureV1 = 0;
  bool MeasureLineShown = false;
  double SelMax1 = 0, SelMin1 = 0;  // values at the band's rows (shown only)

  ChannelValues values;
};

}  // namespace trelvano
