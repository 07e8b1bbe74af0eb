#include "DumpAnalysis.h"

#include "analysis/TaskDistance.h"

#include <QDateTime>
#include <cmath>

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

QString kindName(PhaseKind k) {
  switch (k) {
    case PhaseKind::Circling: return QStringLiteral("kreisen");
    case PhaseKind::Ground: return QStringLiteral("boden");
    case PhaseKind::Launch: return QStringLiteral("start");
    case PhaseKind::Engine: return QStringLiteral("motor");
    case PhaseKind::Gliding: break;
  }
  return QStringLiteral("gleiten");
}

// A clock as "2023-10-28T09:00:17Z"; null without one.
void utc(JsonWriter& json, const char* name, double seconds) {
  json.key(name);
  if (std::isfinite(seconds)) {
    json.value(QDateTime::fromSecsSinceEpoch(std::llround(seconds), Qt::UTC).toString(Qt::ISODate));
  } else {
    json.null();
  }
}

void contacts(JsonWriter& json, const char* name, const std::vector<GroundContact>& list) {
  json.key(name);
  json.beginArray();
  for (const GroundContact& c : list) {
    json.beginObject();
    json.field("time", c.time);
    utc(json, "utc", c.utc);
    json.field("lat", c.lat);
    json.field("lon", c.lon);
    json.endObject();
  }
  json.endArray();
}

// start, end, utcStart, utcEnd, from, to of a section.
void section(JsonWriter& json, const FlightAnalysis& a, const FlightSection& s) {
  json.field("start", s.start);
  json.field("end", s.end);
  utc(json, "utcStart", clockAt(a, s.start));
  utc(json, "utcEnd", clockAt(a, s.end));
  json.field("from", s.from);
  json.field("to", s.to);
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
    json.field("kind", kindName(p.kind));
    json.field("from", p.from);
    json.field("to", p.to);
    json.key("direction");
    direction(json, p.direction);
    json.endObject();
  }
  json.endArray();

  contacts(json, "takeoff", a.takeoffs);
  contacts(json, "landing", a.landings);
  json.field("airborneSeconds", a.totals.airborneTime);
  json.key("launch");
  json.beginArray();
  for (const Launch& l : a.launches) {
    json.beginObject();
    json.field("kind", l.kind == LaunchKind::Winch ? QStringLiteral("winde") : QStringLiteral("schlepp"));
    section(json, a, l);
    json.field("gain", l.gain);
    json.endObject();
  }
  json.endArray();
  json.key("engine");
  json.beginArray();
  for (const EngineClimb& e : a.engine) {
    json.beginObject();
    section(json, a, e);
    json.field("gain", e.gain);
    json.endObject();
  }
  json.endArray();
  json.key("freeFlight");
  json.beginArray();
  for (const FlightSection& f : a.freeFlight) {
    json.beginObject();
    section(json, a, f);
    json.endObject();
  }
  json.endArray();
  json.key("spikes");
  json.beginArray();
  for (int32_t i : a.spikes) json.value(i);
  json.endArray();
  json.key("warning");
  a.warning.isEmpty() ? json.null() : json.value(a.warning);

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
    json.field("entryHeight", t.entryHeight);
    json.field("exitHeight", t.exitHeight);
    json.field("topHeight", t.altitude);
    json.field("lat", t.lat);
    json.field("lon", t.lon);
    utc(json, "utcStart", t.utcStart);
    utc(json, "utcEnd", t.utcEnd);
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
    json.field("heightLoss", g.heightLoss);
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
  json.field("freeFlightSeconds", a.totals.freeFlightTime);
  json.key("climbHistogram");
  json.beginArray();
  for (const ClimbClass& c : a.totals.climbHistogram) {
    json.beginObject();
    json.field("from", c.from);
    json.field("to", c.to);
    json.field("count", c.count);
    json.endObject();
  }
  json.endArray();
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
  // Metres; the legs from the take-off and to the landing apart from the task.
  const TaskDistances task = taskDistances(d.Igc.task);
  json.key("taskDistance");
  json.beginObject();
  json.field("total", task.total);
  json.field("takeoffLeg", task.takeoffLeg);
  json.field("landingLeg", task.landingLeg);
  json.endObject();

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
