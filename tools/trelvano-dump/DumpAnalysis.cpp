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
    json.field("kind", p.kind == PhaseKind::Circling ? QStringLiteral("kreisen") : QStringLiteral("gleiten"));
    json.field("from", p.from);
    json.field("to", p.to);
    json.key("direction");
    direction(json, p.direction);
    json.endObject();
  }
  json.endArray();

  json.key("thermals");
  json.beginArray();
  for (const Thermal& t : a.thermals) {
    json.beginObject();
    json.field("start", t.start);
    json.field("end", t.end);
    json.field("gain", t.gain);
    json.field("climb", t.climb);
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
    json.field("start", g.start);
    json.field("end", g.end);
    json.field("distance", g.distance);
    json.key("ratio");
    g.ratio > 0 ? json.value(g.ratio) : json.null();
    json.field("speed", g.speed);
    json.endObject();
  }
  json.endArray();

  json.key("totals");
  json.beginObject();
  json.field("circlingShare", a.totals.circlingShare);
  json.field("averageClimb", a.totals.averageClimb);
  json.key("averageRatio");
  a.totals.averageRatio > 0 ? json.value(a.totals.averageRatio) : json.null();
  json.field("best30sClimb", a.totals.best30sClimb);
  json.field("thermals", a.totals.thermals);
  json.endObject();

  json.key("wind");
  json.beginArray();
  for (const WindEstimate& w : a.wind) {
    json.beginObject();
    json.field("time", w.time);
    json.field("height", w.height);
    json.field("speed", w.speed);
    json.field("from", w.windFrom);
    json.field("quality", w.quality);
    json.endObject();
  }
  json.endArray();

  json.key("task");
  json.beginArray();
  for (const TaskPoint& p : d.Igc.task) {
    json.beginObject();
    json.field("name", p.name);
    json.field("lat", p.lat);
    json.field("lon", p.lon);
    json.endObject();
  }
  json.endArray();

  json.key("engineRuns");
  json.beginArray();
  for (const EngineRun& r : a.engineRuns) {
    json.beginObject();
    json.field("start", r.start);
    json.field("end", r.end);
    json.endObject();
  }
  json.endArray();

  json.key("events");
  json.beginArray();
  for (const FlightEvent& e : d.Igc.events) {
    json.beginObject();
    json.field("time", e.time);
    json.field("code", e.code);
    json.endObject();
  }
  json.endArray();

  json.field("security", d.Igc.securityRecord ? QStringLiteral("vorhanden") : QStringLiteral("fehlt"));
  json.endObject();
}

}  // namespace trelvano
