// The solver's routes against an exhaustive search over the same flights,
// thinned to a few hundred fixes: synthetic cross-country flights and the
// real recordings, under every league.
#include "ExhaustiveScore.h"

#include "analysis/score/ScoreFlight.h"
#include "import/IgcReader.h"
#include "import/IgcReader.h"
#include "import/ShowFlight.h"
#include "model/FlightData.h"

#include "common/SyntheticXcFlight.h"
#include "common/TestPaths.h"

#include <QDir>
#include <gtest/gtest.h>

namespace score_optimality_test {

using namespace trelvano;

namespace {

struct NamedFlight {
  std::string name;
  std::vector<ScoreFix> fixes;
};

std::vector<ScoreFix> thinned(const std::vector<ScoreFix>& fixes, int most) {
  const size_t stride = (fixes.size() + most - 1) / most;
  std::vector<ScoreFix> out;
  for (size_t i = 0; i < fixes.size(); i += std::max<size_t>(stride, 1)) out.push_back(fixes[i]);
  return out;
}

std::vector<NamedFlight> syntheticFlights() {
  using synthetic::XcFlight;
  XcFlight triangle;
  triangle.route = {12000, 3000, 5000, 14000, 300, 400};
  XcFlight outAndReturn;
  outAndReturn.route = {15000, 9000, 200, -300};
  outAndReturn.driftEast = 2.5;
  // Long straight glides: many routes nearly as long as the best.
  XcFlight straight;
  straight.route = {30000, 2000};
  straight.thermalSeconds = 60;
  XcFlight zigzag;
  zigzag.route = {4000, 4000, 8000, -1000, 12000, 5000, 9000, 9000, 2000, 6000};
  zigzag.glideSeconds = 120;
  std::vector<NamedFlight> flights = {{"triangle", synthetic::xcFixes(triangle)},
                                      {"outAndReturn", synthetic::xcFixes(outAndReturn)},
                                      {"straight", synthetic::xcFixes(straight)},
                                      {"zigzag", synthetic::xcFixes(zigzag)}};
  // Losing height on the way: finishes far below some starts.
  std::vector<ScoreFix> sinking = flights.back().fixes;
  for (ScoreFix& f : sinking) f.altitude = 3000 - 0.4 * f.index + 300 * std::sin(f.index / 50.0);
  flights.push_back({"sinking", sinking});
  return flights;
}

std::vector<NamedFlight> recordedFlights() {
  std::vector<NamedFlight> flights;
  const FlightDataPtr data = makeFlightData();
  for (const QString& name : QDir(dataPath("igc")).entryList({"*.igc"}, QDir::Files)) {
    try {
      showFlight(*data, readIgc(readBytes(dataPath("igc/" + name)), name));
    } catch (const RunError&) {
      continue;  // the reader's own failures are its tests' business
    }
    NamedFlight f{name.toStdString(), {}};
    for (int i = 0; i <= data->LastPoint; ++i)
      f.fixes.push_back(
          {data->FlightPath[i].Lat, data->FlightPath[i].Lon, data->FlightPath[i].Altitude, data->PointTime[i], i});
    flights.push_back(std::move(f));
  }
  return flights;
}

// What the route of `t` scores when measured again from its fixes.
double remeasured(const TypeScore& t, DistanceFormula formula) {
  const EarthDistance earth(formula);
  auto metres = [&](const RoutePoint& a, const RoutePoint& b) { return earth.metres(a.lat, a.lon, b.lat, b.lon); };
  const std::vector<RoutePoint>& r = t.route;
  for (size_t k = 1; k < r.size(); ++k)
    if (r[k].index < r[k - 1].index) return -1;  // not in time order
  if (t.rule->shape == RouteShape::Triangle) {
    if (r.size() != 5) return -1;
    return triangleDistance(*t.rule, metres(r[1], r[2]), metres(r[2], r[3]), metres(r[3], r[1]), metres(r[0], r[4]));
  }
  double sum = 0;
  for (size_t k = 1; k < r.size(); ++k) sum += metres(r[k - 1], r[k]);
  return sum;
}

void expectOptimal(const NamedFlight& flight) {
  SCOPED_TRACE(flight.name);
  const std::vector<ScoreFix> fixes = thinned(flight.fixes, 150);
  for (const League& league : leagues()) {
    const ExhaustiveScore truth(fixes, league.formula);
    // By boxes, and the free distance chained over blocks of fixes from the start.
    ScoreControl blocks;
    blocks.boxSplitsBeforeBlocks = 0;
    for (const FlightScore& score : {scoreFlight(fixes, league), scoreFlight(fixes, league, blocks)}) {
      ASSERT_EQ(score.types.size(), league.types.size());
      EXPECT_TRUE(score.complete);
      for (const TypeScore& t : score.types) {
        SCOPED_TRACE(std::string(league.key) + " " + t.rule->key);
        EXPECT_NEAR(t.distanceKm, truth.best(*t.rule) / 1000, 1e-9);
        EXPECT_DOUBLE_EQ(t.points, t.distanceKm * t.rule->multiplier);
        if (t.found()) {
          EXPECT_NEAR(remeasured(t, league.formula) / 1000, t.distanceKm, 1e-9);
        }
      }
    }
  }
}

}  // namespace

TEST(ScoreOptimality, SyntheticFlightsScoreAsTheExhaustiveSearch) {
  for (const NamedFlight& flight : syntheticFlights()) expectOptimal(flight);
}

TEST(ScoreOptimality, RecordedFlightsScoreAsTheExhaustiveSearch) {
  const std::vector<NamedFlight> flights = recordedFlights();
  ASSERT_GE(flights.size(), 8u);
  for (const NamedFlight& flight : flights) expectOptimal(flight);
}

}  // namespace score_optimality_test
