#pragma once
// --chart: a chart window as "Parameter → Grafik" opens it, without the window.

#include "DumpOptions.h"
#include "Json.h"

#include "chart/core/ChartView.h"
#include "app/core/MainController.h"

namespace trelvano {

// Sets the bars, the scale, the section and the ticked curves, then draws as
// the window does on creation, and ticks "Zoom Auswahl" with --zoom if it is
// enabled. Throws the run-time error of a failed redraw.
void drawChart(ChartView& chart, MainController& program, const DumpOptions& options);

// The "chart" key: range, window, temperature, the boxes after the redraw, labels.
void writeChart(JsonWriter& json, const ChartView& chart);

}  // namespace trelvano
