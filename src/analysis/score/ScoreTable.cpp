#include "analysis/score/ScoreTable.h"

#include "model/Numbers.h"

#include <QDateTime>

#include <cmath>

namespace trelvano {

namespace {

const QString kNone = QStringLiteral("–");

// Clocks as HH:mm:ss UTC; with the day in front where the route runs over midnight.
QString clocks(const std::vector<RoutePoint>& points, bool withDay) {
  QStringList texts;
  for (const RoutePoint& p : points)
    texts << (std::isfinite(p.utc)
                  ? QDateTime::fromSecsSinceEpoch(std::llround(p.utc), Qt::UTC)
                        .toString(withDay ? QStringLiteral("dd.MM. HH:mm:ss") : QStringLiteral("HH:mm:ss"))
                  : kNone);
  return texts.join(QStringLiteral(", "));
}

bool overMidnight(const FlightScore& score) {
  double first = NAN, last = NAN;
  for (const TypeScore& t : score.types)
    for (const RoutePoint& p : t.route) {
      if (!std::isfinite(p.utc)) continue;
      first = std::isfinite(first) ? std::min(first, p.utc) : p.utc;
      last = std::isfinite(last) ? std::max(last, p.utc) : p.utc;
    }
  return std::isfinite(first) && std::floor(first / 86400) != std::floor(last / 86400);
}

}  // namespace

ScoreTableText scoreTable(const FlightScore& score) {
  ScoreTableText table;
  table.headers = {QString(),
                   QStringLiteral("Art"),
                   QStringLiteral("Strecke (km)"),
                   QStringLiteral("Faktor"),
                   QStringLiteral("Punkte"),
                   QStringLiteral("Start (UTC)"),
                   QStringLiteral("Wendepunkte (UTC)"),
                   QStringLiteral("Ziel (UTC)"),
                   QStringLiteral("Schluss (km)")};
  const bool withDay = overMidnight(score);
  for (size_t k = 0; k < score.types.size(); ++k) {
    const TypeScore& t = score.types[k];
    const bool best = int(k) == score.best;
    QStringList row{best ? QStringLiteral("★") : QString(), QString::fromUtf8(t.rule->caption)};
    if (!t.found()) {
      row << kNone << fixedText(t.rule->multiplier, 1) << kNone << kNone << kNone << kNone << kNone;
      table.rows.push_back(row);
      continue;
    }
    // A triangle's start and finish are the first and last of its five
    // fixes, its turnpoints the three between; a path's likewise.
    const std::vector<RoutePoint> turnpoints(t.route.begin() + 1, t.route.end() - 1);
    row << fixedText(t.distanceKm, 2) << fixedText(t.rule->multiplier, 1) << fixedText(t.points, 2)
        << clocks({t.route.front()}, withDay) << (turnpoints.empty() ? kNone : clocks(turnpoints, withDay))
        << clocks({t.route.back()}, withDay) << (t.closingKm ? fixedText(*t.closingKm, 2) : kNone);
    table.rows.push_back(row);
  }
  table.bestRow = score.best;
  if (!score.complete)
    table.note = QStringLiteral(
        "Abgebrochen: die besten bis dahin gefundenen Strecken, eine längere Suche kann "
        "mehr ergeben.");
  else if (score.best < 0)
    table.note = QStringLiteral("Keine wertbare Strecke im freien Flug.");
  else
    table.note = QStringLiteral("Die beste Strecke jeder Art; ★ die Art mit den meisten Punkten.");
  return table;
}

RouteMark routeMark(const TypeScore& type) {
  RouteMark mark;
  const std::vector<RoutePoint>& r = type.route;
  if (r.empty()) return mark;
  auto at = [](const RoutePoint& p) { return GeoPoint{p.lat, p.lon}; };
  if (type.rule->shape == RouteShape::Triangle && r.size() == 5) {
    mark.legs = {at(r[1]), at(r[2]), at(r[3]), at(r[1])};
    mark.gap = {at(r[0]), at(r[4])};
    return mark;
  }
  for (const RoutePoint& p : r) mark.legs.push_back(at(p));
  return mark;
}

}  // namespace trelvano
