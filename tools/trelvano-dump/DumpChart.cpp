#include "DumpChart.h"

namespace trelvano {

void drawChart(ChartView& chart, MainController& program, const DumpOptions& o) {
  ChartControls& c = chart.controls;
  c.windDirectionPosition = o.windDirection;
  c.windSpeedPosition = o.windSpeed;
  c.windEstimated = o.windEstimated;
  c.scaleIndex = o.scale;
  for (int k = 0; k < kGpsCurveCount; ++k) c.gpsTicked[k] = o.gpsCurves[k];
  for (int k = 0; k < kChannelCount; ++k) c.channelTicked[k] = o.channelCurves[k];
  if (o.range) {
    program.data.RangeStart = (*o.range)[0];
    program.data.RangeEnd = (*o.range)[1];
  }
  chart.open();
  if (o.zoom && c.zoomEnabled) chart.setZoomTicked(true);
}

void writeChart(JsonWriter& json, const ChartView& chart) {
  const ChartState& s = chart.chart;
  const ChartControls& c = chart.controls;
  json.key("chart");
  json.beginObject();
  json.key("ChartMin");
  json.value(s.ChartMin);
  json.key("ChartMax");
  json.value(s.ChartMax);
  json.key("WindowStart");
  json.value(s.WindowStart);
  json.key("WindowEnd");
  json.value(s.WindowEnd);
  json.key("UniformScale");
  json.value(s.UniformScale);
  json.key("Temperature");
  json.value(chart.data.Temperature);
  json.key("ticked");
  json.beginArray();
  for (int k = 0; k < 4; ++k) json.value(c.gpsTicked[k]);  // "Höhe über Grund" has no place in this list
  for (bool ticked : c.channelTicked) json.value(ticked);
  json.endArray();
  json.key("enabled");
  json.beginArray();
  for (bool enabled : c.channelEnabled) json.value(enabled);
  json.endArray();
  json.key("zoomEnabled");
  json.value(c.zoomEnabled);
  json.key("LabelTemp");
  json.value(c.LabelTemp);
  json.key("LabelWindrichtung");
  json.value(c.LabelWindrichtung);
  json.key("LabelWindstaerke");
  json.value(c.LabelWindstaerke);
  json.endObject();
}

}  // namespace trelvano
