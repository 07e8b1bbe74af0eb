#include "app/core/FlightClock.h"

#include "analysis/Geodesic.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace trelvano {

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

// The first flight's start on the clock: its UTC start, or 0 without clock.
double clockBase(const FlightSet& set) {
  const LoadedFlight& first = set.at(0);
  return utcStart(*first.flight, first.analysis).value_or(0.0);
}

}  // namespace

std::optional<double> utcStart(const Flight& flight, const FlightAnalysis& analysis) {
  const size_t n = std::min(flight.utc.size(), analysis.time.size());
  for (size_t i = 0; i < n; ++i)
    if (std::isfinite(flight.utc[i])) return flight.utc[i] - analysis.time[i];
  return std::nullopt;
}

double takeoffTime(const FlightAnalysis& analysis) {
  if (!analysis.takeoffs.empty()) return analysis.takeoffs.front().time;
  if (!analysis.airborne.empty()) return analysis.airborne.front().start;
  return 0;
}

double clockShift(const FlightSet& set, int index) {
  const LoadedFlight& f = set.at(index);
  const double base = clockBase(set);
  if (set.sync() == ClockSync::CommonStart)
    return base + takeoffTime(set.at(0).analysis) - takeoffTime(f.analysis) + f.offsetSeconds;
  return utcStart(*f.flight, f.analysis).value_or(base) + f.offsetSeconds;
}

double clockTimeOf(const FlightSet& set, int index, int32_t point) {
  const std::vector<double>& time = set.at(index).analysis.time;
  const double own = time.empty() ? 0.0 : time[size_t(std::clamp<int32_t>(point, 0, int32_t(time.size()) - 1))];
  return own + clockShift(set, index);
}

ClockSpan clockSpan(const FlightSet& set) {
  const bool anyShown = std::any_of(set.flights().begin(), set.flights().end(), [](auto& f) { return f.visible; });
  ClockSpan span{std::numeric_limits<double>::infinity(), -std::numeric_limits<double>::infinity()};
  for (int k = 0; k < set.count(); ++k) {
    const LoadedFlight& f = set.at(k);
    if (anyShown && !f.visible) continue;
    const double shift = clockShift(set, k);
    const double end = f.analysis.time.empty() ? 0.0 : f.analysis.time.back();
    span.start = std::min(span.start, shift);
    span.end = std::max(span.end, shift + end);
  }
  return set.empty() ? ClockSpan{} : span;
}

FlightAt flightAt(const LoadedFlight& flight, double ownSeconds) {
  const std::vector<Fix>& fixes = flight.flight->fixes;
  const std::vector<double>& time = flight.analysis.time;
  FlightAt at;
  auto place = [&](size_t i) {
    at.point = int32_t(i);
    at.lat = fixes[i].Lat, at.lon = fixes[i].Lon, at.height = fixes[i].Altitude;
  };
  if (fixes.empty() || time.size() != fixes.size()) {
    at.waiting = true;
    if (!fixes.empty()) place(0);
    return at;
  }
  const size_t last = fixes.size() - 1;
  if (!(ownSeconds >= time.front()) || ownSeconds > time.back()) {
    at.waiting = true;
    place(ownSeconds > time.back() ? last : 0);
    return at;
  }
  if (last == 0) {
    place(0);
    return at;
  }
  // The leg [i, i+1] the time falls in; the last fix's time ends the last leg.
  const size_t i = std::min(size_t(std::upper_bound(time.begin(), time.end(), ownSeconds) - time.begin()), last) - 1;
  const Fix &a = fixes[i], &b = fixes[i + 1];
  const double dt = time[i + 1] - time[i];
  const double u = dt > 0 ? std::clamp((ownSeconds - time[i]) / dt, 0.0, 1.0) : 0.0;
  at.point = int32_t(i);
  at.fraction = u;
  at.lat = a.Lat + u * (b.Lat - a.Lat);
  at.lon = a.Lon + u * (b.Lon - a.Lon);
  at.height = a.Altitude + u * (b.Altitude - a.Altitude);
  if (dt > 0) {
    at.vario = (b.Altitude - a.Altitude) / dt;
    at.groundSpeed = geodesicDistance(a.Lat, a.Lon, b.Lat, b.Lon) / dt * 3.6;
  }
  return at;
}

FlightAt flightAtClock(const FlightSet& set, int index, double clockTime) {
  return flightAt(set.at(index), clockTime - clockShift(set, index));
}

std::vector<FlightComparison> compareAt(const FlightSet& set, double clockTime) {
  std::vector<FlightComparison> out(size_t(set.count()));
  for (int k = 0; k < set.count(); ++k) out[size_t(k)].at = flightAtClock(set, k, clockTime);
  const int active = set.activeIndex();
  if (active < 0) return out;
  const FlightAt& a = out[size_t(active)].at;
  for (FlightComparison& c : out) {
    if (a.waiting || c.at.waiting) {
      c.distanceToActive = c.heightToActive = kNaN;
    } else {
      c.distanceToActive = geodesicDistance(c.at.lat, c.at.lon, a.lat, a.lon);
      c.heightToActive = c.at.height - a.height;
    }
  }
  return out;
}

}  // namespace trelvano
