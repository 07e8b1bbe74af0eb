// The commands of several flights: adding, choosing the active one, removing.
#include "app/core/AnalyseLoadedFlight.h"
#include "app/core/FlightClock.h"
#include "app/core/MainController.h"
#include "import/AltitudeSource.h"
#include "import/FileBytes.h"
#include "import/GpxReader.h"
#include "import/IgcReader.h"
#include "import/LoggerReader.h"
#include "import/ShowFlight.h"
#include "import/TextLines.h"
#include "overlay/Infobox.h"
#include "overlay/Overlay.h"

#include <QFileInfo>

#include <algorithm>

namespace trelvano {

std::optional<LoadedFlight> MainController::readFlightFile(const QString& path) {
  QByteArray bytes;
  if (!readWholeFile(path, bytes)) return std::nullopt;
  const QString name = QFileInfo(path).fileName();
  Flight flight = isIgcFileName(path)   ? readIgc(bytes, name)
                  : isGpxFileName(path) ? readGpx(bytes, name)
                                        : withAltitudeSource(readLogger(bytes, name), data.ChannelParams,
                                                             data.Temperature, data.UseBaroAltitude);
  auto shared = std::make_shared<const Flight>(std::move(flight));
  LoadedFlight loaded = loadedFlight(shared, path);
  loaded.analysis = analyseFlight(*shared);
  return loaded;
}

// "Flug hinzufügen…"
void MainController::addFlights() {
  const QStringList paths = dialogs.openFiles(QStringLiteral("Flüge (*.igc *.gpx *.csv);;Alle Dateien (*)"),
                                              QStringLiteral("Flug hinzufügen"));
  if (!paths.isEmpty()) addFlightFiles(paths);
}

LoadStatus MainController::addFlightFiles(const QStringList& paths) {
  LoadStatus status = LoadStatus::Loaded;
  for (const QString& path : paths)
    if (addFlightFile(path) == LoadStatus::Unopened) status = LoadStatus::Unopened;
  return status;
}

LoadStatus MainController::addFlightFile(const QString& path) {
  if (flights.empty()) return openFlightFile(path);
  // Refused before reading: a full list needs no file read.
  if (flights.count() >= kMaxLoadedFlights) throw RunError::tooManyFlights(kMaxLoadedFlights);
  std::optional<LoadedFlight> loaded = readFlightFile(path);
  if (!loaded) return LoadStatus::Unopened;
  flights.add(std::move(*loaded));
  return LoadStatus::Loaded;
}

void MainController::setActiveFlight(int index) {
  flights.at(index);  // throws for a flight that is not there, before anything changes
  if (index == flights.activeIndex()) return;
  flights.keepSection(data.RangeStart, data.RangeEnd, data.CursorPoint);
  showFlightOfSet(index);
}

void MainController::removeFlight(int index) {
  flights.at(index);
  // The tables still show a removed active flight: show the one after it.
  if (flights.remove(index) && !flights.empty()) showFlightOfSet(flights.activeIndex());
}

void MainController::showFlightOfSet(int index) {
  LoadedFlight next = flights.at(index);
  // A new-format logger flight takes the altitudes the settings choose now
  // (a failed conversion throws here, before anything changed).
  if (next.flight->kind == FlightKind::LoggerNew) {
    auto current = std::make_shared<const Flight>(
        withAltitudeSource(*next.flight, data.ChannelParams, data.Temperature, data.UseBaroAltitude));
    const auto sameAltitude = [](const Fix& a, const Fix& b) { return a.Altitude == b.Altitude; };
    if (current->altitudeLabel != next.flight->altitudeLabel ||
        !std::equal(current->fixes.begin(), current->fixes.end(), next.flight->fixes.begin(), sameAltitude)) {
      next.analysis = analyseFlight(*current);
      next.flight = current;
      flights.replaceFlight(index, next.flight, next.analysis);
    }
  }
  showFlight(data, *next.flight);
  flights.setActive(index);
  const int32_t last = next.flight->lastIndex();
  data.RangeStart = std::clamp(next.rangeStart, 0, last);
  data.RangeEnd = std::clamp(next.rangeEnd, data.RangeStart, last);
  data.CursorPoint = std::clamp(next.cursorPoint, 0, last);
  showFlightTexts(next);
  const std::optional<RunError> groundError = refreshGroundAfterLoad();
  paintingOnce([&] {
    showAnalysis(data, next.analysis);
    Overlay(data, view, panels);
    Infobox(data, panels);
  });
  cursorTimeFromActive();
  if (groundError) throw *groundError;
}

void MainController::cursorTimeFromActive() {
  if (flights.empty()) return;
  flights.cursorTime = clockTimeOf(flights, flights.activeIndex(), data.CursorPoint);
}

}  // namespace trelvano
