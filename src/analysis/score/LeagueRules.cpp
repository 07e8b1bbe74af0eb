#include "analysis/score/LeagueRules.h"

#include <QString>

#include <algorithm>

namespace trelvano {

namespace {

constexpr double kFaiLegShare = 0.28;

FlightTypeRule freeDistance(int turnpoints) { return {"free", "Freie Strecke", RouteShape::Path, turnpoints + 2, 1.0}; }

FlightTypeRule triangle(const char* key, const char* caption, double multiplier, bool fai, double closingMetres,
                        double closingShare, bool deducted) {
  FlightTypeRule rule{key, caption, RouteShape::Triangle, 3, multiplier};
  rule.minLegShare = fai ? kFaiLegShare : 0;
  rule.closingMetres = closingMetres;
  rule.closingShare = closingShare;
  rule.closingDeducted = deducted;
  return rule;
}

std::array<League, 4> makeLeagues() {
  FlightTypeRule classic{"classic", "OLC-Klassik", RouteShape::Path, 7, 1.0};
  classic.maxHeightLoss = 1000;
  return {{
      {"xcontest",
       "XContest",
       DistanceFormula::Wgs84Ellipsoid,
       {freeDistance(3), triangle("flatTriangle", "Flaches Dreieck", 1.2, false, 0, 0.20, true),
        triangle("faiTriangle", "FAI-Dreieck", 1.4, true, 0, 0.20, true),
        triangle("closedFlatTriangle", "Geschlossenes flaches Dreieck", 1.4, false, 0, 0.05, true),
        triangle("closedFaiTriangle", "Geschlossenes FAI-Dreieck", 1.6, true, 0, 0.05, true)}},
      {"ffvl",
       "FFVL",
       DistanceFormula::Wgs84Ellipsoid,
       {freeDistance(3), triangle("flatTriangle", "Flaches Dreieck", 1.2, false, 3000, 0.05, false),
        triangle("faiTriangle", "FAI-Dreieck", 1.4, true, 3000, 0.05, false)}},
      {"fai",
       "FAI",
       DistanceFormula::Wgs84Ellipsoid,
       {freeDistance(3), triangle("flatTriangle", "Flaches Dreieck", 1.0, false, 800, 0, false),
        triangle("faiTriangle", "FAI-Dreieck", 1.0, true, 800, 0, false)}},
      {"olc", "OLC", DistanceFormula::FaiSphere, {classic}},
  }};
}

}  // namespace

const std::array<League, 4>& leagues() {
  static const std::array<League, 4> all = makeLeagues();
  return all;
}

const League* findLeague(QStringView key) {
  for (const League& league : leagues())
    if (key == QLatin1String(league.key)) return &league;
  return nullptr;
}

double closingAllowance(const FlightTypeRule& rule, double perimeter) {
  return rule.closingMetres + rule.closingShare * perimeter;
}

bool legsQualify(const FlightTypeRule& rule, double a, double b, double c) {
  if (rule.minLegShare <= 0) return true;
  const double perimeter = a + b + c;
  // A share of the perimeter, not a leg against 28 % of it: 28 / 100 gives
  // the same double as 0.28, so a triangle right on the limit qualifies.
  return perimeter > 0 && std::min({a, b, c}) / perimeter >= rule.minLegShare;
}

double triangleDistance(const FlightTypeRule& rule, double a, double b, double c, double closing) {
  const double perimeter = a + b + c;
  if (!legsQualify(rule, a, b, c) || !(closing <= closingAllowance(rule, perimeter))) return -1;
  return rule.closingDeducted ? perimeter - closing : perimeter;
}

}  // namespace trelvano
