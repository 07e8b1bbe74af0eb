#include "DumpFlights.h"

#include "app/core/FlightClock.h"
#include "import/UtcTime.h"

#include <QColor>

#include <cmath>

namespace trelvano {

namespace {

// "YYYY-MM-DDThh:mm:ssZ", or null.
void utcValue(JsonWriter& json, const std::optional<double>& utc) {
  if (!utc || !std::isfinite(*utc)) return json.null();
  json.value(isoTimeText(*utc));
}

}  // namespace

void applyFlightOptions(MainController& program, const DumpOptions& o) {
  FlightSet& flights = program.flights;
  if (flights.empty()) return;
  for (const auto& [index, seconds] : o.offsets) flights.setOffset(index, seconds);
  if (o.sync) flights.setSync(*o.sync == 1 ? ClockSync::CommonStart : ClockSync::SameTime);
  if (o.active) program.setActiveFlight(*o.active);
  if (o.time)
    flights.cursorTime = *o.time;
  else
    program.cursorTimeFromActive();
}

void writeFlights(JsonWriter& json, const FlightSet& flights) {
  const std::vector<FlightComparison> compared = compareAt(flights, flights.cursorTime);
  json.key("flights");
  json.beginArray();
  for (int k = 0; k < flights.count(); ++k) {
    const LoadedFlight& f = flights.at(k);
    json.beginObject();
    json.field("path", f.path);
    json.field("name", f.name);
    json.field("colour", QColor(f.colour).name());
    json.field("points", int(f.flight->fixes.size()));
    const std::optional<double> start = utcStart(*f.flight, f.analysis);
    json.key("utcStart");
    utcValue(json, start);
    json.key("utcEnd");
    utcValue(json, start && !f.analysis.time.empty() ? std::optional(*start + f.analysis.time.back()) : std::nullopt);
    json.field("offset", f.offsetSeconds);
    json.field("visible", f.visible);
    json.field("active", k == flights.activeIndex());
    const FlightSummary s = summaryOf(f.analysis);
    json.key("summary");
    json.beginObject();
    json.field("airborneSeconds", s.airborneSeconds);
    json.field("thermals", s.thermals);
    json.field("averageClimb", s.averageClimb);
    json.field("circlingShare", s.circlingShare);
    json.field("averageRatio", s.averageRatio);
    json.field("best30sClimb", s.best30sClimb);
    json.endObject();
    const FlightComparison& c = compared[size_t(k)];
    json.key("at");
    if (c.at.waiting) {
      json.null();
    } else {
      json.beginObject();
      json.field("lat", c.at.lat);
      json.field("lon", c.at.lon);
      json.field("height", c.at.height);
      json.field("vario", c.at.vario);
      json.field("groundSpeed", c.at.groundSpeed);
      json.field("distanceToActive", c.distanceToActive);
      json.field("heightToActive", c.heightToActive);
      json.endObject();
    }
    json.endObject();
  }
  json.endArray();
}

}  // namespace trelvano
