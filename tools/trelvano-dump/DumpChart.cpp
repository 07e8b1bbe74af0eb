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
  json.field("ChartMin", s.ChartMin);
  json.field("ChartMax", s.ChartMax);
  json.field("WindowStart", s.WindowStart);
  json.field("WindowEnd", s.WindowEnd);
  json.field("UniformScale", s.UniformScale);
  json.field("Temperature", chart.data.Temperature);
  json.key("ticked");
  json.beginArray();
  for (int k = 0; k < 4; ++k) json.value(c.gpsTicked[k]);  // "Höhe über Grund" has no place in this list
  for (bool ticked : c.channelTicked) json.value(ticked);
  json.endArray();
  json.key("enabled");
  json.beginArray();
  for (bool enabled : c.channelEnabled) json.value(enabled);
  json.endArray();
  json.field("zoomEnabled", c.zoomEnabled);
  json.field("LabelTemp", c.LabelTemp);
  json.field("LabelWindrichtung", c.LabelWindrichtung);
  json.field("LabelWindstaerke", c.LabelWindstaerke);
  json.endObject();
}

}  // namespace trelvano
