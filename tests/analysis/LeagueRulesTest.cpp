// The leagues' tables on hand-made triangles right at their limits: the 28 %
// leg of an FAI triangle, the closing allowances (20 % and 5 % of the
// perimeter, 3 km + 5 %, 800 m), what each scores and with which multiplier.
#include "analysis/score/LeagueRules.h"

#include <QString>
#include <gtest/gtest.h>

namespace league_rules_test {

using namespace trelvano;

namespace {

const FlightTypeRule& rule(const char* league, const char* type) {
  for (const FlightTypeRule& r : findLeague(QString::fromLatin1(league))->types)
    if (QLatin1String(r.key) == QLatin1String(type)) return r;
  throw std::out_of_range(type);
}

}  // namespace

TEST(LeagueRules, TrianglesAtTheLimits) {
  struct Case {
    const char* league;
    const char* type;
    double a, b, c, closing;  // metres; a + b + c = 100 km
    double distance;          // metres scored; -1 = does not qualify
  };
  const Case cases[] = {
      // The shortest leg exactly 28 % of the perimeter, and a metre less.
      {"xcontest", "faiTriangle", 28000, 36000, 36000, 0, 100000},
      {"xcontest", "faiTriangle", 27999, 36001, 36000, 0, -1},
      {"xcontest", "flatTriangle", 10000, 45000, 45000, 0, 100000},
      // XContest: closed within 20 % (5 % for the closed types), the gap taken off.
      {"xcontest", "flatTriangle", 10000, 45000, 45000, 20000, 80000},
      {"xcontest", "flatTriangle", 10000, 45000, 45000, 20001, -1},
      {"xcontest", "closedFaiTriangle", 30000, 35000, 35000, 5000, 95000},
      {"xcontest", "closedFaiTriangle", 30000, 35000, 35000, 5001, -1},
      // FFVL: 3 km + 5 % of the perimeter; the perimeter scores.
      {"ffvl", "faiTriangle", 30000, 35000, 35000, 8000, 100000},
      {"ffvl", "faiTriangle", 30000, 35000, 35000, 8001, -1},
      {"ffvl", "flatTriangle", 10000, 45000, 45000, 8000, 100000},
      // FAI: 800 m, whatever the perimeter.
      {"fai", "faiTriangle", 30000, 35000, 35000, 800, 100000},
      {"fai", "faiTriangle", 30000, 35000, 35000, 801, -1},
      {"fai", "flatTriangle", 10000, 45000, 45000, 801, -1},
  };
  for (const Case& k : cases) {
    SCOPED_TRACE(std::string(k.league) + " " + k.type + " closing " + std::to_string(k.closing));
    EXPECT_EQ(triangleDistance(rule(k.league, k.type), k.a, k.b, k.c, k.closing), k.distance);
  }
}

TEST(LeagueRules, MultipliersAndFormulas) {
  struct Case {
    const char* league;
    const char* type;
    double multiplier;
  };
  const Case cases[] = {{"xcontest", "free", 1.0},
                        {"xcontest", "flatTriangle", 1.2},
                        {"xcontest", "faiTriangle", 1.4},
                        {"xcontest", "closedFlatTriangle", 1.4},
                        {"xcontest", "closedFaiTriangle", 1.6},
                        {"ffvl", "free", 1.0},
                        {"ffvl", "flatTriangle", 1.2},
                        {"ffvl", "faiTriangle", 1.4},
                        {"fai", "faiTriangle", 1.0},
                        {"olc", "classic", 1.0}};
  for (const Case& k : cases) EXPECT_EQ(rule(k.league, k.type).multiplier, k.multiplier) << k.league << " " << k.type;
  EXPECT_EQ(rule("olc", "classic").points, 7);  // start, five turnpoints, finish
  EXPECT_EQ(rule("olc", "classic").maxHeightLoss, 1000);
  EXPECT_EQ(rule("xcontest", "free").points, 5);
  EXPECT_EQ(findLeague(u"olc")->formula, DistanceFormula::FaiSphere);
  EXPECT_EQ(findLeague(u"xcontest")->formula, DistanceFormula::Wgs84Ellipsoid);
  EXPECT_EQ(findLeague(u"bogus"), nullptr);
}

}  // namespace league_rules_test
