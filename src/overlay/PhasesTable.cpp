#include "overlay/PhasesTable.h"

#include "analysis/TaskDistance.h"
#include "model/CsvField.h"
#include "model/Numbers.h"

#include <QDateTime>
#include <algorithm>
#include <cmath>

namespace trelvano {

// A number with `decimals` places and the locale's decimal separator; "–" for none.
QString tableNumber(double v, int decimals) { return fixedText(v, decimals); }

// Seconds since the first fix as h:mm:ss.
QString elapsedText(double seconds) {
  const long long s = std::llround(std::max(0.0, seconds));
  return QStringLiteral("%1:%2:%3")
      .arg(s / 3600)
      .arg(s / 60 % 60, 2, 10, QLatin1Char('0'))
      .arg(s % 60, 2, 10, QLatin1Char('0'));
}

namespace {

const QString kNone = QStringLiteral("–");

// Clocks (UTC seconds since 1970) as hh:mm:ss, with the day in front
// ("30.06. 06:03:00") where the recording runs over more than one day; "–"
// for none.
struct ClockText {
  bool withDate = false;

  explicit ClockText(const FlightAnalysis& a) {
    auto finite = [](double v) { return std::isfinite(v); };
    const auto first = std::find_if(a.utc.begin(), a.utc.end(), finite);
    const auto last = std::find_if(a.utc.rbegin(), a.utc.rend(), finite);
    if (first != a.utc.end() && last != a.utc.rend())
      withDate = std::floor(*first / 86400) != std::floor(*last / 86400);
  }
  QString operator()(double utc) const {
    if (!std::isfinite(utc)) return kNone;
    return QDateTime::fromSecsSinceEpoch(std::llround(utc), Qt::UTC)
        .toString(withDate ? QStringLiteral("dd.MM. HH:mm:ss") : QStringLiteral("HH:mm:ss"));
  }
};

// "10:02:13 UTC (0:12:40)", or the elapsed time alone without a clock.
QString when(const FlightAnalysis& a, const ClockText& clock, double time) {
  const double utc = clockAt(a, time);
  return std::isfinite(utc) ? clock(utc) + QStringLiteral(" UTC (") + elapsedText(time) + QLatin1Char(')')
                            : elapsedText(time);
}

// "47,12345° N, 11,23456° O".
QString place(double lat, double lon) {
  return tableNumber(std::abs(lat), 5) + (lat < 0 ? QStringLiteral("° S, ") : QStringLiteral("° N, ")) +
         tableNumber(std::abs(lon), 5) + (lon < 0 ? QStringLiteral("° W") : QStringLiteral("° O"));
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

QString launchName(const Launch& l) {
  return l.kind == LaunchKind::Winch ? QStringLiteral("Start (Winde)") : QStringLiteral("Start (Schlepp)");
}

// One row of "Start, Motor und Ereignisse": take-offs, launches, stretches under
// engine, engine runs, landings and the file's events, by time.
struct EventRow {
  QString kind;
  int32_t from = 0, to = 0;  // the points a click selects
  double start = 0, end = 0;
  bool hasEnd = false;
};

std::vector<EventRow> eventRows(const FlightData& d) {
  const FlightAnalysis& a = d.Analysis;
  std::vector<EventRow> rows;
  for (const GroundContact& c : a.takeoffs)
    rows.push_back({QStringLiteral("Start"), c.point, c.point, c.time, 0, false});
  for (const Launch& l : a.launches) rows.push_back({launchName(l), l.from, l.to, l.start, l.end, true});
  for (const EngineClimb& e : a.engine) rows.push_back({QStringLiteral("Motor"), e.from, e.to, e.start, e.end, true});
  for (const EngineRun& r : a.engineRuns)
    rows.push_back({QStringLiteral("Motorlauf"), r.from, r.to, r.start, r.end, true});
  for (const GroundContact& c : a.landings)
    rows.push_back({QStringLiteral("Landung"), c.point, c.point, c.time, 0, false});
  for (const FlightEvent& e : d.Igc.events)
    rows.push_back({QStringLiteral("Ereignis ") + e.code, e.point, e.point, e.time, 0, false});
  std::stable_sort(rows.begin(), rows.end(), [](const EventRow& x, const EventRow& y) { return x.start < y.start; });
  return rows;
}

void totalsRows(const FlightData& d, TableText& t) {
  const FlightAnalysis& a = d.Analysis;
  const ClockText clock(a);
  const AnalysisTotals& s = a.totals;
  auto row = [&t](const QString& name, const QString& value) { t.rows.push_back({name, value}); };
  row(QStringLiteral("Aufzeichnungsdauer"), elapsedText(s.flightTime));
  const bool several = a.airborne.size() > 1;
  for (size_t k = 0; k < a.airborne.size(); ++k) {
    const AirborneSection& air = a.airborne[k];
    const QString n = several ? QStringLiteral(" %1").arg(k + 1) : QString();
    const int32_t landing = std::min(air.to + 1, d.LastPoint);
    row(QStringLiteral("Start") + n, air.takeoffSeen ? when(a, clock, air.start) + QStringLiteral(", ") +
                                                           place(d.FlightPath[air.from].Lat, d.FlightPath[air.from].Lon)
                                                     : QStringLiteral("– (Aufzeichnung beginnt in der Luft)"));
    for (const Launch& l : a.launches)
      if (l.from >= air.from && l.to <= air.to)
        row(launchName(l) + n, QStringLiteral("ausgeklinkt ") + when(a, clock, l.end) + QStringLiteral(", ") +
                                   tableNumber(l.gain, 0) + QStringLiteral(" m Höhengewinn"));
    for (const EngineClimb& e : a.engine)
      if (e.from >= air.from && e.to <= air.to)
        row(QStringLiteral("Motor") + n, when(a, clock, e.start) + QStringLiteral(" bis ") + when(a, clock, e.end) +
                                             QStringLiteral(", ") + tableNumber(e.gain, 0) +
                                             QStringLiteral(" m Höhengewinn"));
    row(QStringLiteral("Landung") + n, air.landingSeen ? when(a, clock, air.end) + QStringLiteral(", ") +
                                                             place(d.FlightPath[landing].Lat, d.FlightPath[landing].Lon)
                                                       : QStringLiteral("– (Aufzeichnung endet in der Luft)"));
  }
  if (a.airborne.empty()) row(QStringLiteral("Start"), QStringLiteral("– (kein Flug erkannt)"));
  row(QStringLiteral("Zeit in der Luft"), elapsedText(s.airborneTime));
  row(QStringLiteral("Freier Flug"), elapsedText(s.freeFlightTime));
  row(QStringLiteral("Anteil Kreisen [%]"), tableNumber(s.circlingShare, 1));
  row(QStringLiteral("Thermiken"), QString::number(s.thermals));
  row(QStringLiteral("Höhengewinn in Thermik [m]"), tableNumber(s.heightGained, 0));
  row(QStringLiteral("Mittleres Steigen [m/s]"), tableNumber(s.averageClimb, 2));
  row(QStringLiteral("Bestes Steigen über 30 s [m/s]"), tableNumber(s.best30sClimb, 1));
  row(QStringLiteral("Mittlere Gleitzahl"), s.averageRatio > 0 ? tableNumber(s.averageRatio, 1) : kNone);
  row(QStringLiteral("Höhensprünge übergangen"), QString::number(s.spikes));
  if (!a.warning.isEmpty()) row(QStringLiteral("Hinweis"), a.warning);
  for (const ClimbClass& c : s.climbHistogram)
    row(QStringLiteral("Thermiken mit ") + tableNumber(c.from, 1) + QStringLiteral("–") + tableNumber(c.to, 1) +
            QStringLiteral(" m/s"),
        QString::number(c.count));
  row(QStringLiteral("Sicherheitsdatensatz"),
      d.Igc.securityRecord ? QStringLiteral("vorhanden") : QStringLiteral("fehlt"));
}

void taskRows(const FlightData& d, TableText& t) {
  const std::vector<TaskPoint>& task = d.Igc.task;
  if (task.empty()) return;
  const TaskDistances dist = taskDistances(task);
  for (size_t k = 0; k < task.size(); ++k) {
    const TaskPoint& p = task[k];
    QString name = p.placeholder ? p.name + QStringLiteral(" (Platzhalter)") : p.name;
    if (int(k) == dist.takeoff) name += QStringLiteral(" [Startplatz]");
    if (int(k) == dist.landing) name += QStringLiteral(" [Landeplatz]");
    t.rows.push_back({QString::number(k + 1), name, p.placeholder ? kNone : tableNumber(p.lat, 5),
                      p.placeholder ? kNone : tableNumber(p.lon, 5), tableNumber(dist.legs[k] / 1000, 1)});
  }
  t.rows.push_back({QString(), QStringLiteral("Gesamt"), QString(), QString(), tableNumber(dist.total / 1000, 1)});
  if (dist.takeoff >= 0) {
    t.rows.push_back({QString(), QStringLiteral("Startplatz bis Abflug"), QString(), QString(),
                      tableNumber(dist.takeoffLeg / 1000, 1)});
    t.rows.push_back({QString(), QStringLiteral("Ziel bis Landeplatz"), QString(), QString(),
                      tableNumber(dist.landingLeg / 1000, 1)});
  }
}

}  // namespace

TableText phasesTable(const FlightData& d, PhasesTable table) {
  const FlightAnalysis& a = d.Analysis;
  const ClockText utcClock(a);
  TableText t;
  const QString startUtc = QStringLiteral("Beginn (UTC)"), endUtc = QStringLiteral("Ende (UTC)");
  switch (table) {
    case PhasesTable::Thermals:
      t.title = QStringLiteral("Thermik");
      t.headers = {QStringLiteral("Nr."),
                   QStringLiteral("Beginn"),
                   QStringLiteral("Ende"),
                   startUtc,
                   endUtc,
                   QStringLiteral("Dauer"),
                   QStringLiteral("Höhengewinn [m]"),
                   QStringLiteral("Steigen [m/s]"),
                   QStringLiteral("Einstiegshöhe [m]"),
                   QStringLiteral("Ausstiegshöhe [m]"),
                   QStringLiteral("Höchste Höhe [m]"),
                   QStringLiteral("Breite [°]"),
                   QStringLiteral("Länge [°]"),
                   QStringLiteral("Richtung"),
                   QStringLiteral("Wind [km/h]"),
                   QStringLiteral("Wind aus [°]")};
      for (size_t k = 0; k < a.thermals.size(); ++k) {
        const Thermal& th = a.thermals[k];
        t.rows.push_back({QString::number(k + 1), elapsedText(th.start), elapsedText(th.end), utcClock(th.utcStart),
                          utcClock(th.utcEnd), elapsedText(th.end - th.start), tableNumber(th.gain, 0),
                          tableNumber(th.climb, 1), tableNumber(th.entryHeight, 0), tableNumber(th.exitHeight, 0),
                          tableNumber(th.altitude, 0), tableNumber(th.lat, 5), tableNumber(th.lon, 5),
                          direction(th.direction), th.hasWind ? tableNumber(th.windSpeed, 0) : kNone,
                          th.hasWind ? tableNumber(th.windFrom, 0) : kNone});
      }
      break;
    case PhasesTable::Glides:
      t.title = QStringLiteral("Gleiten");
      t.headers = {QStringLiteral("Nr."),
                   QStringLiteral("Beginn"),
                   QStringLiteral("Ende"),
                   startUtc,
                   endUtc,
                   QStringLiteral("Dauer"),
                   QStringLiteral("Strecke [km]"),
                   QStringLiteral("Geschwindigkeit [km/h]"),
                   QStringLiteral("Höhenverlust [m]"),
                   QStringLiteral("Gleitzahl")};
      for (size_t k = 0; k < a.glides.size(); ++k) {
        const Glide& g = a.glides[k];
        t.rows.push_back({QString::number(k + 1), elapsedText(g.start), elapsedText(g.end),
                          utcClock(clockAt(a, g.start)), utcClock(clockAt(a, g.end)), elapsedText(g.end - g.start),
                          tableNumber(g.distance / 1000, 2), tableNumber(g.speed, 0), tableNumber(g.heightLoss, 0),
                          g.ratio > 0 ? tableNumber(g.ratio, 1) : kNone});
      }
      break;
    case PhasesTable::Totals:
      t.title = QStringLiteral("Summen");
      t.headers = {QStringLiteral("Größe"), QStringLiteral("Wert")};
      totalsRows(d, t);
      break;
    case PhasesTable::Wind:
      t.title = QStringLiteral("Wind");
      t.headers = {QStringLiteral("Zeit"),         QStringLiteral("Zeit (UTC)"),
                   QStringLiteral("Höhe [m]"),     QStringLiteral("Wind [km/h]"),
                   QStringLiteral("Wind aus [°]"), QStringLiteral("Fluggeschwindigkeit [km/h]"),
                   QStringLiteral("Güte")};
      for (const WindEstimate& w : a.wind)
        t.rows.push_back({elapsedText(w.time), utcClock(clockAt(a, w.time)), tableNumber(w.height, 0),
                          tableNumber(w.speed, 0), tableNumber(w.windFrom, 0), tableNumber(w.airspeed, 0),
                          tableNumber(w.quality, 2)});
      break;
    case PhasesTable::Task:
      t.title = QStringLiteral("Aufgabe");
      t.headers = {QStringLiteral("Nr."), QStringLiteral("Name"), QStringLiteral("Breite [°]"),
                   QStringLiteral("Länge [°]"), QStringLiteral("Teilstrecke [km]")};
      taskRows(d, t);
      break;
    case PhasesTable::Events:
      t.title = QStringLiteral("Start, Motor und Ereignisse");
      t.headers = {QStringLiteral("Art"), QStringLiteral("Beginn"), QStringLiteral("Ende"), startUtc, endUtc};
      for (const EventRow& e : eventRows(d))
        t.rows.push_back({e.kind, elapsedText(e.start), e.hasEnd ? elapsedText(e.end) : QString(),
                          utcClock(clockAt(a, e.start)), e.hasEnd ? utcClock(clockAt(a, e.end)) : QString()});
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
    case PhasesTable::Events: {
      const std::vector<EventRow> rows = eventRows(d);
      if (r < rows.size()) return section(rows[r].from, rows[r].hasEnd ? rows[r].to - 1 : rows[r].from - 1);
      break;
    }
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
