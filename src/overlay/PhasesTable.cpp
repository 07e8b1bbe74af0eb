#include "overlay/PhasesTable.h"

#include "model/CsvField.h"

#include "model/Numbers.h"
#include "overlay/Thermals.h"

#include <algorithm>
#include <cmath>

namespace trelvano {

namespace {

// A number with `decimals` places and the locale's decimal separator; "–" for none.
QString fixed(double v, int decimals) {
  if (!std::isfinite(v)) return QStringLiteral("–");
  if (std::abs(v) < 0.5 * std::pow(10.0, -decimals)) v = 0;  // no "-0"
  QString text = QString::number(v, 'f', decimals);
  return text.replace(QLatin1Char('.'), decimalSeparator());
}

// Seconds since the first fix as h:mm:ss.
QString clock(double seconds) {
  const long long s = std::llround(std::max(0.0, seconds));
  return QStringLiteral("%1:%2:%3")
      .arg(s / 3600)
      .arg(s / 60 % 60, 2, 10, QLatin1Char('0'))
      .arg(s % 60, 2, 10, QLatin1Char('0'));
}

QString direction(TurnDirection d) {
  switch (d) {
    case TurnDirection::Left: return QStringLiteral("links");
    case TurnDirection::Right: return QStringLiteral("rechts");
    case TurnDirection::Mixed: return QStringLiteral("gemischt");
    case TurnDirection::None: break;
  }
  return QString();
}

}  // namespace

TableText phasesTable(const FlightData& d, PhasesTable table) {
  const FlightAnalysis& a = d.Analysis;
  TableText t;
  switch (table) {
    case PhasesTable::Thermals:
      t.title = QStringLiteral("Thermik");
      t.headers = {QStringLiteral("Nr."),      QStringLiteral("Beginn"),          QStringLiteral("Ende"),
                   QStringLiteral("Dauer"),    QStringLiteral("Höhengewinn [m]"), QStringLiteral("Steigen [m/s]"),
                   QStringLiteral("Richtung"), QStringLiteral("Wind [km/h]"),     QStringLiteral("Wind aus [°]")};
      for (size_t k = 0; k < a.thermals.size(); ++k) {
        const Thermal& th = a.thermals[k];
        t.rows.push_back({QString::number(k + 1), clock(th.start), clock(th.end), clock(th.end - th.start),
                          fixed(th.gain, 0), fixed(th.climb, 1), direction(th.direction),
                          th.hasWind ? fixed(th.windSpeed, 0) : QStringLiteral("–"),
                          th.hasWind ? fixed(th.windFrom, 0) : QStringLiteral("–")});
      }
      break;
    case PhasesTable::Glides:
      t.title = QStringLiteral("Gleiten");
      t.headers = {QStringLiteral("Nr."),
                   QStringLiteral("Beginn"),
                   QStringLiteral("Ende"),
                   QStringLiteral("Dauer"),
                   QStringLiteral("Strecke [km]"),
                   QStringLiteral("Geschwindigkeit [km/h]"),
                   QStringLiteral("Höhenverlust [m]"),
                   QStringLiteral("Gleitzahl")};
      for (size_t k = 0; k < a.glides.size(); ++k) {
        const Glide& g = a.glides[k];
        t.rows.push_back({QString::number(k + 1), clock(g.start), clock(g.end), clock(g.end - g.start),
                          fixed(g.distance / 1000, 2), fixed(g.speed, 0), fixed(g.heightLoss, 0),
                          g.ratio > 0 ? fixed(g.ratio, 1) : QStringLiteral("–")});
      }
      break;
    case PhasesTable::Totals: {
      t.title = QStringLiteral("Summen");
      t.headers = {QStringLiteral("Größe"), QStringLiteral("Wert")};
      const AnalysisTotals& s = a.totals;
      t.rows = {
          {QStringLiteral("Flugdauer"), clock(s.flightTime)},
          {QStringLiteral("Anteil Kreisen [%]"), fixed(s.circlingShare, 1)},
          {QStringLiteral("Thermiken"), QString::number(s.thermals)},
          {QStringLiteral("Höhengewinn in Thermik [m]"), fixed(s.heightGained, 0)},
          {QStringLiteral("Mittleres Steigen [m/s]"), fixed(s.averageClimb, 2)},
          {QStringLiteral("Bestes Steigen über 30 s [m/s]"), fixed(s.best30sClimb, 1)},
          {QStringLiteral("Mittlere Gleitzahl"), s.averageRatio > 0 ? fixed(s.averageRatio, 1) : QStringLiteral("–")},
          {QStringLiteral("Sicherheitsdatensatz"),
           d.Igc.securityRecord ? QStringLiteral("vorhanden") : QStringLiteral("fehlt")}};
      break;
    }
    case PhasesTable::Wind:
      t.title = QStringLiteral("Wind");
      t.headers = {QStringLiteral("Zeit"),
                   QStringLiteral("Höhe [m]"),
                   QStringLiteral("Wind [km/h]"),
                   QStringLiteral("Wind aus [°]"),
                   QStringLiteral("Fluggeschwindigkeit [km/h]"),
                   QStringLiteral("Güte")};
      for (const WindEstimate& w : a.wind)
        t.rows.push_back({clock(w.time), fixed(w.height, 0), fixed(w.speed, 0), fixed(w.windFrom, 0),
                          fixed(w.airspeed, 0), fixed(w.quality, 2)});
      break;
    case PhasesTable::Task: {
      t.title = QStringLiteral("Aufgabe");
      t.headers = {QStringLiteral("Nr."), QStringLiteral("Name"), QStringLiteral("Breite [°]"),
                   QStringLiteral("Länge [°]"), QStringLiteral("Teilstrecke [km]")};
      const TaskPoint* previous = nullptr;
      double total = 0;
      for (size_t k = 0; k < d.Igc.task.size(); ++k) {
        const TaskPoint& p = d.Igc.task[k];
        QString leg = QStringLiteral("–");
        if (!p.placeholder) {
          if (previous) {
            const double m = geodesicDistance(previous->lat, previous->lon, p.lat, p.lon);
            total += m;
            leg = fixed(m / 1000, 1);
          }
          previous = &p;
        }
        t.rows.push_back({QString::number(k + 1), p.placeholder ? p.name + QStringLiteral(" (Platzhalter)") : p.name,
                          p.placeholder ? QStringLiteral("–") : fixed(p.lat, 5),
                          p.placeholder ? QStringLiteral("–") : fixed(p.lon, 5), leg});
      }
      if (!d.Igc.task.empty())
        t.rows.push_back({QString(), QStringLiteral("Gesamt"), QString(), QString(), fixed(total / 1000, 1)});
      break;
    }
    case PhasesTable::Events:
      t.title = QStringLiteral("Motor und Ereignisse");
      t.headers = {QStringLiteral("Art"), QStringLiteral("Beginn"), QStringLiteral("Ende")};
      for (const EngineRun& r : a.engineRuns)
        t.rows.push_back({QStringLiteral("Motorlauf"), clock(r.start), clock(r.end)});
      for (const FlightEvent& e : d.Igc.events)
        t.rows.push_back({QStringLiteral("Ereignis ") + e.code, clock(e.time), QString()});
      break;
  }
  return t;
}

QByteArray tableCsv(const TableText& table) {
  QString text;
  QStringList fields;
  for (const QString& h : table.headers) fields << csvField(h);
  text += fields.join(QLatin1Char(';')) + QStringLiteral("\r\n");
  for (const QStringList& row : table.rows) {
    fields.clear();
    for (const QString& f : row) fields << csvField(f);
    text += fields.join(QLatin1Char(';')) + QStringLiteral("\r\n");
  }
  return QByteArray("\xEF\xBB\xBF") + text.toUtf8();
}

RowSection rowSection(const FlightData& d, PhasesTable table, int row) {
  const FlightAnalysis& a = d.Analysis;
  const int32_t last = d.LastPoint;
  auto section = [last](int32_t from, int32_t to) {
    RowSection s;
    if (from < 0 || from > last) return s;
    s.from = from;
    s.to = std::clamp(std::min(to + 1, last), from, last);  // to the next phase's first point
    return s;
  };
  if (row < 0) return {};
  const size_t r = size_t(row);
  switch (table) {
    case PhasesTable::Thermals:
      if (r < a.thermals.size()) return section(a.thermals[r].from, a.thermals[r].to);
      break;
    case PhasesTable::Glides:
      if (r < a.glides.size()) return section(a.glides[r].from, a.glides[r].to);
      break;
    case PhasesTable::Wind:
      if (r < a.wind.size()) return section(a.wind[r].from, a.wind[r].to);
      break;
    case PhasesTable::Events:
      if (r < a.engineRuns.size()) return section(a.engineRuns[r].from, a.engineRuns[r].to - 1);
      if (r - a.engineRuns.size() < d.Igc.events.size()) {
        const int32_t p = d.Igc.events[r - a.engineRuns.size()].point;
        return section(p, p - 1);
      }
      break;
    case PhasesTable::Totals:
    case PhasesTable::Task: break;
  }
  return {};
}

bool selectRowSection(FlightData& d, PhasesTable table, int row) {
  const RowSection s = rowSection(d, table, row);
  if (s.from < 0) return false;
  d.RangeStart = s.from;
  d.RangeEnd = s.to;
  return true;
}

}  // namespace trelvano
