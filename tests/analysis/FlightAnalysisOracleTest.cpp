// The flight analysis against synthetic flights whose truth is known: one
// table of flights (glider and paraglider, fix intervals, winds, noise, a
// pause, launches, a spike, time on the ground, ridge soaring, dolphin
// flight, a cloud street, a spiral, S-turns), one oracle that checks every flight with the
// accuracy a pilot can trust.
#include "analysis/AnalyseFlight.h"
#include "app/core/AnalyseLoadedFlight.h"
#include "common/SyntheticIgc.h"
#include "import/IgcReader.h"
#include "import/ShowFlight.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <optional>

namespace flight_analysis_oracle_test {

namespace {

using namespace trelvano;
using synthetic::Flight;
using synthetic::Leg;
using synthetic::LegTruth;
using synthetic::Manoeuvre;

struct Case {
  const char* name;
  Flight flight;
  bool warning = false;  // the fixes are too far apart for its circles
};

Flight glider(double interval, double windKmh, double windFrom) {
  Flight f;
  f.interval = interval, f.airspeed = 25, f.glideRatio = 40;
  f.windSpeed = windKmh / 3.6, f.windFrom = windFrom, f.seed = unsigned(interval * 10 + windFrom);
  f.legs = {{Manoeuvre::Glide, 200},
            {Manoeuvre::Thermal, 240, 15, 2.5},
            {Manoeuvre::Glide, 300},
            {Manoeuvre::Thermal, 160, 15, 1.2},
            {Manoeuvre::Glide, 250}};
  return f;
}

// Foot-launched from a slope and landed in a field, each after minutes on the ground.
Flight paraglider(double interval, double windKmh, double windFrom, double turn = 20) {
  Flight f;
  f.interval = interval, f.airspeed = 10, f.glideRatio = 9;
  f.windSpeed = windKmh / 3.6, f.windFrom = windFrom, f.seed = unsigned(interval * 100 + windFrom);
  f.legs = {{Manoeuvre::Ground, 180},
            {Manoeuvre::Glide, 120},
            {Manoeuvre::Thermal, 300, turn, 1.8},
            {Manoeuvre::Glide, 150},
            {Manoeuvre::Thermal, 200, -turn, 0.9},
            {Manoeuvre::Glide, 120},
            {Manoeuvre::Ground, 120}};
  return f;
}

// On the airfield, launched, then the glider's flight, landed.
Flight launched(Leg launch) {
  Flight f = glider(1, 15, 240);
  f.altitude = 400;
  f.legs.insert(f.legs.begin(), {{Manoeuvre::Ground, 300}, launch});
  f.legs.push_back({Manoeuvre::Ground, 200});
  return f;
}

const std::vector<Case>& cases() {
  static const std::vector<Case> all = [] {
    std::vector<Case> c = {
        {"glider 1 s", glider(1, 20, 270)},
        {"glider 2 s", glider(2, 0, 0)},
        {"glider 4 s", glider(4, 35, 45)},
        {"glider 6 s", glider(6, 20, 130)},
        {"glider 10 s", glider(10, 20, 300), true},
        {"paraglider 1 s", paraglider(1, 0, 0)},
        {"paraglider 2 s", paraglider(2, 20, 200)},
        {"paraglider 4 s in 35 km/h", paraglider(4, 35, 315)},
        {"paraglider 6 s", paraglider(6, 20, 90)},
        {"paraglider 1 s in 45 km/h", paraglider(1, 45, 250)},
        {"paraglider 10 s, tight circles", paraglider(10, 20, 90, 24), true},
        {"winch", launched({Manoeuvre::Launch, 40, 0, 11, 22})},
        {"aerotow", launched({Manoeuvre::Launch, 300, 0, 3, 32})},
        {"self-launch", launched({Manoeuvre::Launch, 240, 0, 2.5, 28, true})},
    };
    Flight noisy = paraglider(1, 20, 160);
    noisy.noise = 3;
    c.push_back({"paraglider 1 s, 3 m noise", noisy});
    Flight pause = glider(1, 20, 270);
    pause.pauses = {{300, 360}};  // in the first thermal
    c.push_back({"glider 1 s, 60 s pause in a thermal", pause});
    Flight spike = glider(1, 20, 270);
    spike.spikes = {{100, 2, 2750}};  // in the first glide
    c.push_back({"glider with a spike", spike});
    Flight ridge = paraglider(1, 25, 300);
    ridge.legs.insert(ridge.legs.begin() + 1, {Manoeuvre::Ridge, 600, 0, 0.1});
    c.push_back({"paraglider ridge soaring", ridge});
    Flight dolphin = glider(1, 10, 200);
    dolphin.legs.insert(dolphin.legs.begin() + 3, {Manoeuvre::Dolphin, 400, 0, 1.0});
    c.push_back({"glider dolphin flight", dolphin});
    Flight street = glider(1, 15, 220);
    street.legs.insert(street.legs.begin() + 3, {{Manoeuvre::Street, 120, 0, 1.5}, {Manoeuvre::Glide, 200}});
    c.push_back({"glider under a cloud street", street});
    Flight spiral = paraglider(1, 20, 100);
    spiral.legs.insert(spiral.legs.end() - 1, {{Manoeuvre::Spiral, 60, 50, 9}, {Manoeuvre::Glide, 100}});
    c.push_back({"paraglider spiral", spiral});
    Flight sTurns = glider(1, 25, 200);
    // Swinging the other way first after the turn, so the turn ends where the thermal does.
    sTurns.legs.insert(sTurns.legs.begin() + 2, {Manoeuvre::STurns, 120, -20});
    sTurns.legs.push_back({Manoeuvre::STurns, 90, 22});
    c.push_back({"glider S-turns", sTurns});
    return c;
  }();
  return all;
}

double angleBetween(double a, double b) { return std::abs(std::remainder(a - b, 360.0)); }

bool isGround(const LegTruth& t) { return t.kind == Manoeuvre::Ground; }
bool isLaunch(const LegTruth& t) { return t.kind == Manoeuvre::Launch; }
bool isCircling(const LegTruth& t) { return t.kind == Manoeuvre::Thermal || t.kind == Manoeuvre::Spiral; }

class FlightAnalysisOracle : public ::testing::TestWithParam<size_t> {};

TEST_P(FlightAnalysisOracle, FindsWhatTheFlightDid) {
  const Case& c = cases()[GetParam()];
  SCOPED_TRACE(c.name);
  const Flight& f = c.flight;
  std::vector<LegTruth> truth;
  const QByteArray bytes = synthetic::igcBytes(f, &truth);
  FlightDataPtr data = makeFlightData();
  showFlight(*data, readIgc(bytes, QStringLiteral("synthetic.igc")));
  analyseLoadedFlight(*data);
  const FlightAnalysis& a = data->Analysis;
  ASSERT_TRUE(a.valid);
  const double step = f.interval;

  // The phases cover every point and the flight's whole time.
  ASSERT_FALSE(a.phases.empty());
  EXPECT_EQ(a.phases.front().from, 0);
  EXPECT_EQ(a.phases.back().to, data->LastPoint);
  double covered = 0;
  for (size_t k = 0; k < a.phases.size(); ++k) {
    if (k > 0) {
      EXPECT_EQ(a.phases[k].from, a.phases[k - 1].to + 1);
    }
    covered += a.phases[k].end - a.phases[k].start;
  }
  EXPECT_DOUBLE_EQ(covered, a.totals.flightTime);

  // Take-off and landing: within two fixes or 10 s.
  const double contact = std::max(2 * step, 10.0);
  const bool groundBefore = isGround(truth.front()), groundAfter = isGround(truth.back());
  ASSERT_EQ(a.takeoffs.size(), groundBefore ? 1u : 0u);
  ASSERT_EQ(a.landings.size(), groundAfter ? 1u : 0u);
  if (groundBefore) {
    EXPECT_NEAR(a.takeoffs[0].time, truth.front().end, contact);
  }
  if (groundAfter) {
    EXPECT_NEAR(a.landings[0].time, truth.back().start, contact);
  }

  // The launch, on the winch or on tow, or under engine; free flight is the rest of the time in the air.
  double freeTime = 0, circling = 0, strongest = 0;
  std::vector<LegTruth> thermals, glides;
  std::vector<double> rises, lowest;  // per glide
  for (const LegTruth& t : truth) {
    if (isLaunch(t)) {
      const double end = a.launches.empty() ? (a.engine.empty() ? 0 : a.engine[0].end) : a.launches[0].end;
      EXPECT_EQ(a.launches.size(), t.engine ? 0u : 1u);
      EXPECT_EQ(a.engine.size(), t.engine ? 1u : 0u);
      EXPECT_NEAR(end, t.end, 15 + step) << "release";
      if (!a.launches.empty()) {
        EXPECT_EQ(a.launches[0].kind, t.climb > 5 ? LaunchKind::Winch : LaunchKind::Tow);
      }
      continue;
    }
    if (isGround(t)) continue;
    freeTime += t.end - t.start;
    if (isCircling(t)) circling += t.end - t.start;
    if (t.kind == Manoeuvre::Thermal) {
      thermals.push_back(t);
      strongest = std::max(strongest, t.climb);
      continue;
    }
    // Everything between two thermals is one glide; rises keeps the most it rose on the way.
    if (!glides.empty() && glides.back().end == t.start) {
      LegTruth& g = glides.back();
      g.end = t.end, g.x1 = t.x1, g.y1 = t.y1, g.z1 = t.z1;
    } else {
      glides.push_back(t);
      rises.push_back(0);
      lowest.push_back(t.z0);
    }
    lowest.back() = std::min(lowest.back(), t.z1);
    rises.back() = std::max(rises.back(), t.z1 - lowest.back());
  }
  EXPECT_NEAR(a.totals.freeFlightTime, freeTime, 2 * contact);
  EXPECT_EQ(!a.warning.isEmpty(), c.warning) << a.warning.toStdString();
  double fastest = 0;
  for (const Leg& leg : f.legs)
    if (leg.kind == Manoeuvre::Thermal) fastest = std::max(fastest, std::abs(leg.turnRate));
  if (f.interval * fastest > 180) return;  // circles past telling apart: the warning says so

  // Thermals: one per climbing circle, whole, none in launch, engine or on the ground.
  ASSERT_EQ(a.thermals.size(), thermals.size());
  for (size_t k = 0; k < thermals.size(); ++k) {
    EXPECT_NEAR(a.thermals[k].start, thermals[k].start, 15 + step) << "thermal " << k;
    EXPECT_NEAR(a.thermals[k].end, thermals[k].end, 15 + step) << "thermal " << k;
    EXPECT_NEAR(a.thermals[k].climb, thermals[k].climb, 0.1) << "thermal " << k;
    EXPECT_TRUE(a.thermals[k].hasWind);
  }
  EXPECT_NEAR(a.totals.circlingShare, 100 * circling / freeTime, 3.0);
  EXPECT_NEAR(a.totals.best30sClimb, strongest, 0.2);

  // Glides: the ratio over the ground of each one that lost 100 m, none
  // where it climbed as much on the way.
  for (size_t k = 0; k < glides.size(); ++k) {
    const LegTruth& t = glides[k];
    const double loss = t.z0 - t.z1;
    if (loss < 100) continue;
    const double ratio = std::hypot(t.x1 - t.x0, t.y1 - t.y0) / loss;
    const Glide* best = nullptr;
    for (const Glide& g : a.glides)
      if (g.start < t.end && g.end > t.start && (!best || g.end - g.start > best->end - best->start)) best = &g;
    ASSERT_NE(best, nullptr);
    EXPECT_NEAR(best->ratio, rises[k] < 90 ? ratio : 0, 0.05 * ratio) << "glide at " << t.start;
  }

  // Wind: every full turn of a thermal close to the true wind; the spiral's
  // turns of a few seconds, with a handful of fixes each, at least not turned
  // round; none outside the circles.
  ASSERT_FALSE(a.wind.empty());
  for (const WindEstimate& w : a.wind) {
    const LegTruth* in = nullptr;
    for (const LegTruth& t : truth)
      if (isCircling(t) && w.time > t.start && w.time < t.end) in = &t;
    ASSERT_NE(in, nullptr) << "wind at " << w.time;
    if (in->kind == Manoeuvre::Spiral) {
      if (f.windSpeed > 3) {
        EXPECT_LE(angleBetween(w.windFrom, f.windFrom), 30) << "turn at " << w.time;
      }
      continue;
    }
    EXPECT_NEAR(w.speed, f.windSpeed * 3.6, 3.0) << "turn at " << w.time;
    if (f.windSpeed > 3) {
      EXPECT_LE(angleBetween(w.windFrom, f.windFrom), 8.0) << "turn at " << w.time;
    }
    EXPECT_NEAR(w.airspeed, f.airspeed * 3.6, 0.15 * f.airspeed * 3.6);
  }

  // A spike is passed over, and only the spike.
  std::vector<int32_t> spiked;
  for (const synthetic::Spike& s : f.spikes)
    for (double t = std::ceil(s.time / step) * step; t < s.time + s.seconds; t += step)
      spiked.push_back(int32_t(t / step));
  EXPECT_EQ(a.spikes, spiked);
}

INSTANTIATE_TEST_SUITE_P(Flights, FlightAnalysisOracle, ::testing::Range<size_t>(0, cases().size()));

bool allFinite(const FlightAnalysis& a) {
  std::vector<double> v = {a.totals.flightTime,   a.totals.circlingTime, a.totals.circlingShare,
                           a.totals.averageClimb, a.totals.averageRatio, a.totals.best30sClimb,
                           a.totals.heightGained, a.totals.airborneTime, a.totals.freeFlightTime};
  for (const Thermal& t : a.thermals) v.insert(v.end(), {t.start, t.end, t.gain, t.climb, t.windSpeed, t.windFrom});
  for (const Glide& g : a.glides) v.insert(v.end(), {g.start, g.end, g.distance, g.heightLoss, g.speed, g.ratio});
  for (const WindEstimate& w : a.wind) v.insert(v.end(), {w.time, w.height, w.speed, w.windFrom, w.quality});
  for (double x : v)
    if (!std::isfinite(x)) return false;
  return true;
}

// Flights that are hardly flights: what can be known, never a NaN, phases over every point.
TEST(FlightAnalysisBadInput, GivesWhatCanBeKnown) {
  struct Row {
    const char* name;
    std::vector<double> steps;  // time step of each point (its count is the point count)
    bool moving;                // points 30 m apart, else all on one spot
  };
  const std::vector<Row> rows = {
      {"no points", {}, true},
      {"single point", {2}, true},
      {"no times", std::vector<double>(50, 0.0), true},
      {"duplicate fixes", std::vector<double>(50, 0.0), false},
      {"time jump", {2, 1, 1, 1, 3600, 1, 1, 1, 0, 0, 1}, true},
      {"steps not finite or backward", {2, NAN, -5, INFINITY, 1, 1}, true},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    const size_t n = row.steps.size();
    std::vector<double> lat(n), lon(n, 11.0), altitude(n);
    for (size_t i = 0; i < n; ++i)
      lat[i] = 47 + (row.moving ? double(i) * 0.0003 : 0), altitude[i] = 500 + double(i % 3);
    AnalysisInput input;
    input.lat = lat, input.lon = lon, input.altitude = altitude, input.timeStep = row.steps;
    const FlightAnalysis a = analyseFlight(input);
    ASSERT_TRUE(a.valid);
    EXPECT_TRUE(allFinite(a));
    EXPECT_TRUE(a.wind.empty());
    if (n == 0) continue;
    ASSERT_FALSE(a.phases.empty());
    EXPECT_EQ(a.phases.front().from, 0);
    EXPECT_EQ(a.phases.back().to, int32_t(n) - 1);
  }
}

}  // namespace

}  // namespace flight_analysis_oracle_test
