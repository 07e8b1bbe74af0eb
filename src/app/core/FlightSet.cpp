#include "app/core/FlightSet.h"

#include "model/RunError.h"

#include <QFileInfo>

#include <algorithm>

namespace trelvano {

FlightSummary summaryOf(const FlightAnalysis& analysis) {
  const AnalysisTotals& t = analysis.totals;
  return {t.airborneTime, t.thermals, t.averageClimb, t.circlingShare, t.averageRatio, t.best30sClimb};
}

QString flightName(const Flight& flight, const QString& path) {
  const IgcExtras& h = flight.igc;
  QString glider = h.gliderType;
  if (!h.gliderId.isEmpty()) glider += (glider.isEmpty() ? QString() : QStringLiteral(" ")) + h.gliderId;
  if (h.pilot.isEmpty() && glider.isEmpty()) return QFileInfo(path).fileName();
  if (h.pilot.isEmpty()) return glider;
  if (glider.isEmpty()) return h.pilot;
  return h.pilot + QStringLiteral(" – ") + glider;
}

LoadedFlight loadedFlight(std::shared_ptr<const Flight> flight, const QString& path) {
  LoadedFlight f;
  f.name = flightName(*flight, path);
  f.path = path;
  f.rangeEnd = flight->lastIndex();
  f.flight = std::move(flight);
  return f;
}

const std::vector<QRgb>& flightPalette() {
  // Red, blue, orange, magenta, cyan, yellow, violet, then darker and lighter
  // kin: none of them green or brown, each apart from the last few.
  static const std::vector<QRgb> palette = {
      0xffe6194b, 0xff4363d8, 0xfff58231, 0xfff032e6, 0xff42d4f4, 0xffffe119, 0xff911eb4,
      0xff800000, 0xff000075, 0xffff8c9e, 0xff9aa9ff, 0xffffc078, 0xffb0008c, 0xff008b9a,
      0xffc8a400, 0xffd4a6ff, 0xffff4500, 0xff1e90ff, 0xffff69b4, 0xff5a5a5a,
  };
  return palette;
}

const LoadedFlight& FlightSet::at(int index) const {
  check(index);
  return flights_[size_t(index)];
}

void FlightSet::check(int index) const {
  if (index < 0 || index >= count()) throw RunError::range();
}

void FlightSet::replaceAll(LoadedFlight flight) {
  flight.colour = flightPalette().front();
  const Fix& first = flight.flight->fixes.front();
  sceneOrigin = {first.Lat, first.Lon, first.Altitude};
  flights_.clear();
  flights_.push_back(std::move(flight));
  active_ = 0;
  chosenSync_.reset();
  cursorTime = 0;
}

void FlightSet::add(LoadedFlight flight) {
  if (count() >= kMaxLoadedFlights) throw RunError::tooManyFlights(kMaxLoadedFlights);
  for (QRgb c : flightPalette()) {
    const bool taken =
        std::any_of(flights_.begin(), flights_.end(), [c](const LoadedFlight& f) { return f.colour == c; });
    if (!taken) {
      flight.colour = c;
      break;
    }
  }
  flights_.push_back(std::move(flight));
  if (active_ < 0) active_ = 0;
}

bool FlightSet::remove(int index) {
  check(index);
  flights_.erase(flights_.begin() + index);
  if (index > active_) return false;
  const bool wasActive = index == active_;
  active_ = flights_.empty() ? -1 : std::max(0, active_ - 1);
  return wasActive;
}

void FlightSet::setActive(int index) {
  check(index);
  active_ = index;
}

void FlightSet::setVisible(int index, bool visible) {
  check(index);
  flights_[size_t(index)].visible = visible;
}

void FlightSet::setOffset(int index, double seconds) {
  check(index);
  flights_[size_t(index)].offsetSeconds = seconds;
}

void FlightSet::keepSection(int32_t rangeStart, int32_t rangeEnd, int32_t cursorPoint) {
  if (active_ < 0) return;
  LoadedFlight& f = flights_[size_t(active_)];
  f.rangeStart = rangeStart, f.rangeEnd = rangeEnd, f.cursorPoint = cursorPoint;
}

void FlightSet::replaceFlight(int index, std::shared_ptr<const Flight> flight, FlightAnalysis analysis) {
  check(index);
  LoadedFlight& f = flights_[size_t(index)];
  f.flight = std::move(flight);
  f.analysis = std::move(analysis);
}

ClockSync FlightSet::sync() const {
  if (chosenSync_) return *chosenSync_;
  const bool allClocks =
      std::all_of(flights_.begin(), flights_.end(), [](const LoadedFlight& f) { return f.flight->hasClock(); });
  return allClocks ? ClockSync::SameTime : ClockSync::CommonStart;
}

}  // namespace trelvano
