// The "Wertung" of the loaded flight: scored in the background on its free
// flight only, stopped with the routes found so far, dropped with its route
// when another flight is analysed.
#include "app/core/FlightScoring.h"

#include "common/SyntheticXcFlight.h"

#include <gtest/gtest.h>
#include <chrono>
#include <thread>

namespace flight_scoring_test {

using namespace trelvano;

namespace {

// Waits for the background search to end (no time limit: ctest's own applies).
void collect(FlightScoring& scoring, FlightData& data) {
  while (!scoring.collect(data)) std::this_thread::sleep_for(std::chrono::milliseconds(5));
}

void load(FlightData& data, const std::vector<ScoreFix>& fixes) {
  data.HasFlight = true;
  data.HasPointTimes = true;
  data.LastPoint = int32_t(fixes.size()) - 1;
  for (size_t i = 0; i < fixes.size(); ++i) {
    data.FlightPath[i].Lat = fixes[i].lat, data.FlightPath[i].Lon = fixes[i].lon;
    data.FlightPath[i].Altitude = fixes[i].altitude;
    data.PointTime[i] = fixes[i].utc;
  }
  data.Analysis = FlightAnalysis{};
  data.Analysis.valid = true;
  data.Analysis.version = 1;
}

}  // namespace

TEST(FlightScoring, ScoresTheFreeFlightAndFollowsTheLoadedFlight) {
  const FlightDataPtr data = makeFlightData();
  synthetic::XcFlight out;
  out.route = {20000, 0, 0, 0};  // 20 km east and back
  out.thermalSeconds = 60;
  load(*data, synthetic::xcFixes(out));
  // Only the way out is free flight (the way back under engine, say): the
  // free distance is the 20 km out, not the way there and back.
  int32_t turn = 0;
  for (int32_t i = 0; i <= data->LastPoint; ++i)
    if (data->FlightPath[i].Lon > data->FlightPath[turn].Lon) turn = i;
  data->Analysis.freeFlight = {FlightSection{0, turn}};
  FlightScoring scoring;
  scoring.start(*data);
  EXPECT_TRUE(scoring.running());
  collect(scoring, *data);
  ASSERT_TRUE(scoring.score());
  const TypeScore& free = scoring.score()->types[0];
  EXPECT_NEAR(free.distanceKm, 20, 0.5);
  for (const RoutePoint& p : free.route) EXPECT_LE(p.index, turn);
  EXPECT_FALSE(data->ScoreRoute.empty());
  const ScoreTableText table = scoring.table();
  EXPECT_EQ(table.rows.size(), scoring.league().types.size());
  EXPECT_EQ(table.rows[size_t(table.bestRow)][0], QStringLiteral("★"));

  // Two stretches: each type takes the better one, never a route across the gap.
  data->Analysis.freeFlight = {FlightSection{0, turn / 2}, FlightSection{turn, data->LastPoint}};
  scoring.restart(*data);
  collect(scoring, *data);
  EXPECT_NEAR(scoring.score()->types[0].distanceKm, 20, 0.5);
  for (const RoutePoint& p : scoring.score()->types[0].route) EXPECT_GE(p.index, turn);

  // Another flight analysed: the score and its route go.
  ++data->Analysis.version;
  scoring.follow(*data);
  EXPECT_FALSE(scoring.score());
  EXPECT_TRUE(data->ScoreRoute.empty());
}

TEST(FlightScoring, StoppedOrDroppedSearches) {
  const FlightDataPtr data = makeFlightData();
  synthetic::XcFlight long_;
  long_.route = {90000, 20000, 40000, 85000, 500, 800};
  load(*data, synthetic::xcFixes(long_));
  data->Analysis.valid = false;  // not analysed: the whole flight
  FlightScoring scoring;
  scoring.start(*data);
  scoring.stop();
  collect(scoring, *data);
  EXPECT_FALSE(scoring.score()->complete);
  EXPECT_TRUE(scoring.table().note.startsWith(QStringLiteral("Abgebrochen")));

  // Another league drops a running search at once, and its result with it.
  scoring.restart(*data);
  scoring.setLeague(u"olc", *data);
  EXPECT_FALSE(scoring.running());
  EXPECT_FALSE(scoring.score());
  EXPECT_EQ(QLatin1String(scoring.league().key), QLatin1String("olc"));
}

}  // namespace flight_scoring_test
