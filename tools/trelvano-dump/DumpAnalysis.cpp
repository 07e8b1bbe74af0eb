#include "DumpAnalysis.h"

namespace trelvano {

namespace {

void direction(JsonWriter& json, TurnDirection d) {
  switch (d) {
    case TurnDirection::Left: json.value(QStringLiteral("links")); break;
    case TurnDirection::Right: json.value(QStringLiteral("rechts")); break;
    case TurnDirection::Mixed: json.value(QStringLiteral("gemischt")); break;
    case TurnDirection::None: json.null(); break;
  }
}

}  // namespace

void writeAnalysis(JsonWriter& json, const FlightData& d) {
  const FlightAnalysis& a = d.Analysis;
  json.key("analysis");
  json.beginObject();
  json.key("phases");
  json.beginArray();
  for (const FlightPhase& p : a.phases) {
    json.beginObject();
    json.key("kind");
    json.value(p.kind == PhaseKind::Circling ? QStringLiteral("kreisen") : QStringLiteral("gleiten"));
    json.key("from");
    json.value(p.from);
    json.key("to");
    json.value(p.to);
    json.key("direction");
    direction(json, p.direction);
    json.endObject();
  }
  json.endArray();

  json.key("thermals");
  json.beginArray();
  for (const Thermal& t : a.thermals) {
    json.beginObject();
    json.key("start");
    json.value(t.start);
    json.key("end");
    json.value(t.end);
    json.key("gain");
    json.value(t.gain);
    json.key("climb");
    json.value(t.climb);
    json.key("direction");
    direction(json, t.direction);
    json.key("windSpeed");
    t.hasWind ? json.value(t.windSpeed) : json.null();
    json.key("windFrom");
    t.hasWind ? json.value(t.windFrom) : json.null();
    json.endObject();
  }
  json.endArray();

  json.key("glides");
  json.beginArray();
  for (const Glide& g : a.glides) {
    json.beginObject();
    json.key("start");
    json.value(g.start);
    json.key("end");
    json.value(g.end);
    json.key("distance");
    json.value(g.distance);
    json.key("ratio");
    g.ratio > 0 ? json.value(g.ratio) : json.null();
    json.key("speed");
    json.value(g.speed);
    json.endObject();
  }
  json.endArray();

  json.key("totals");
  json.beginObject();
  json.key("circlingShare");
  json.value(a.totals.circlingShare);
  json.key("averageClimb");
  json.value(a.totals.averageClimb);
  json.key("averageRatio");
  a.totals.averageRatio > 0 ? json.value(a.totals.averageRatio) : json.null();
  json.key("best30sClimb");
  json.value(a.totals.best30sClimb);
  json.key("thermals");
  json.value(a.totals.thermals);
  json.endObject();

  json.key("wind");
  json.beginArray();
  for (const WindEstimate& w : a.wind) {
    json.beginObject();
    json.key("time");
    json.value(w.time);
    json.key("height");
    json.value(w.height);
    json.key("speed");
    json.value(w.speed);
    json.key("from");
    json.value(w.windFrom);
    json.key("quality");
    json.value(w.quality);
    json.endObject();
  }
  json.endArray();

  json.key("task");
  json.beginArray();
  for (const TaskPoint& p : d.Igc.task) {
    json.beginObject();
    json.key("name");
    json.value(p.name);
    json.key("lat");
    json.value(p.lat);
    json.key("lon");
    json.value(p.lon);
    json.endObject();
  }
  json.endArray();

  json.key("engineRuns");
  json.beginArray();
  for (const EngineRun& r : a.engineRuns) {
    json.beginObject();
    json.key("start");
    json.value(r.start);
    json.key("end");
    json.value(r.end);
    json.endObject();
  }
  json.endArray();

  json.key("events");
  json.beginArray();
  for (const FlightEvent& e : d.Igc.events) {
    json.beginObject();
    json.key("time");
    json.value(e.time);
    json.key("code");
    json.value(e.code);
    json.endObject();
  }
  json.endArray();

  json.key("security");
  json.value(d.Igc.securityRecord ? QStringLiteral("vorhanden") : QStringLiteral("fehlt"));
  json.endObject();
}

}  // namespace trelvano
