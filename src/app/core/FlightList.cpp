#include "app/core/FlightList.h"

#include "app/core/FlightClock.h"
#include "app/core/MainController.h"
#include "app/core/NamedFileCommand.h"
#include "import/FlightFrame.h"
#include "import/TextLines.h"
#include "model/RunError.h"
#include "model/Numbers.h"
#include "overlay/Replay.h"
#include "view3d/Framing.h"

#include <QDateTime>
#include <QFileInfo>
#include <cmath>
#include <exception>

namespace trelvano {

namespace {
QString signedNumber(double v, int decimals) {
  const QString text = tableNumber(v, decimals);
  return std::isfinite(v) && text.front().isDigit() && v != 0 ? QStringLiteral("+") + text : text;
}

QString distanceText(double metres) {
  if (!std::isfinite(metres)) return QStringLiteral("–");
  return metres < 1000 ? tableNumber(metres, 0) + QStringLiteral(" m")
                       : tableNumber(metres / 1000, 2) + QStringLiteral(" km");
}
}  // namespace

QStringList flightListHeaders() {
  return {QString(),
          QStringLiteral("Name"),
          QStringLiteral("Datum"),
          QStringLiteral("Start (UTC)"),
          QStringLiteral("Versatz [s]"),
          QStringLiteral("Höhe [m]"),
          QStringLiteral("Vario [m/s]"),
          QStringLiteral("Geschw. [km/h]"),
          QStringLiteral("Abstand"),
          QStringLiteral("Höhendiff. [m]")};
}

std::vector<FlightListRow> flightListRows(const FlightSet& flights) {
  std::vector<FlightListRow> rows;
  const std::vector<FlightComparison> compared = compareAt(flights, flights.cursorTime);
  for (int i = 0; i < flights.count(); ++i) {
    const LoadedFlight& f = flights.at(i);
    FlightListRow row;
    row.colour = f.colour;
    row.visible = f.visible;
    row.active = i == flights.activeIndex();
    const std::optional<double> start = utcStart(*f.flight, f.analysis);
    const QDateTime utc = start ? QDateTime::fromSecsSinceEpoch(std::llround(*start), Qt::UTC) : QDateTime();
    const FlightComparison& c = compared[size_t(i)];
    row.texts = {QString(),
                 f.name,
                 start ? utc.toString(QStringLiteral("dd.MM.yyyy")) : QStringLiteral("–"),
                 start ? utc.toString(QStringLiteral("HH:mm:ss")) : QStringLiteral("–"),
                 formatGeneral(f.offsetSeconds),
                 tableNumber(c.at.height, 0),
                 c.at.waiting ? QStringLiteral("–") : signedNumber(c.at.vario, 1),
                 c.at.waiting ? QStringLiteral("–") : tableNumber(c.at.groundSpeed, 0),
                 row.active ? QStringLiteral("–") : distanceText(c.distanceToActive),
                 row.active ? QStringLiteral("–") : signedNumber(c.heightToActive, 0)};
    rows.push_back(std::move(row));
  }
  return rows;
}

std::optional<double> parseOffset(const QString& text) {
  QString t = text.trimmed();
  t.replace(QLatin1Char(','), QLatin1Char('.'));
  bool ok = false;
  const double v = t.toDouble(&ok);
  if (!ok || !std::isfinite(v)) return std::nullopt;
  return v;
}

TableText flightTotalsTable(const FlightSet& flights) {
  TableText t;
  t.title = QStringLiteral("Summen");
  t.headers = {QStringLiteral("Größe")};
  const QStringList names = {
      QStringLiteral("Zeit in der Luft"),        QStringLiteral("Thermiken"),
      QStringLiteral("Mittleres Steigen [m/s]"), QStringLiteral("Anteil Kreisen [%]"),
      QStringLiteral("Mittlere Gleitzahl"),      QStringLiteral("Bestes Steigen über 30 s [m/s]")};
  for (const QString& n : names) t.rows.push_back({n});
  for (const LoadedFlight& f : flights.flights()) {
    t.headers << f.name;
    const FlightSummary s = summaryOf(f.analysis);
    t.rows[0] << elapsedText(s.airborneSeconds);
    t.rows[1] << QString::number(s.thermals);
    t.rows[2] << tableNumber(s.averageClimb, 2);
    t.rows[3] << tableNumber(s.circlingShare, 1);
    t.rows[4] << (s.averageRatio > 0 ? tableNumber(s.averageRatio, 1) : QStringLiteral("–"));
    t.rows[5] << tableNumber(s.best30sClimb, 1);
  }
  return t;
}

std::vector<bool> addedAsFlights(const QStringList& paths) {
  std::vector<bool> added;
  bool opened = false;
  for (const QString& path : paths) {
    const NamedFileCommand command = commandForNamedFile(path);
    const bool flight =
        command == NamedFileCommand::Igc || command == NamedFileCommand::Gpx || command == NamedFileCommand::Logger;
    added.push_back(flight && opened);
    opened = opened || flight;
  }
  return added;
}

void addFlightByName(MainController& c, const QString& path) {
  const QFileInfo file(path);
  if (!file.exists()) throw inFile(RunError::fileNotFound(), file.fileName());
  c.view.redrawOnceAfter([&] {
    if (c.addFlightFile(file.absoluteFilePath()) == LoadStatus::Unopened)
      throw inFile(RunError::cannotOpen(), file.fileName());
    c.view.Grafikupdate();
  });
}

void chooseActiveFlight(MainController& c, int index) {
  if (index == c.flights.activeIndex()) return;
  const FrameOrigin before = flightOrigin(c.data);
  c.cursorTimeFromActive();
  const double clock = c.flights.cursorTime;
  c.view.redrawOnceAfter([&] {
    // A ground file that fails to load for the new flight still leaves it active: keep the camera then too.
    std::exception_ptr error;
    try {
      c.setActiveFlight(index);
    } catch (...) {
      error = std::current_exception();
    }
    if (c.flights.activeIndex() == index) {
      c.view.setCamera(cameraAfterFrameMove(c.view.cam, before, flightOrigin(c.data), c.data.Exaggeration));
      // One clock: the new active flight's cursor goes where the clock stands, if it flies then.
      const FlightAt at = flightAtClock(c.flights, index, clock);
      if (!at.waiting) {
        showCursorAt(c.data, c.view, c.panels, at.point);
        c.cursorTimeFromActive();
      }
    }
    if (error) std::rethrow_exception(error);
  });
}

}  // namespace trelvano
