// The flight analysis against synthetic flights whose truth is known: one
// table of flights (fix interval, glider or paraglider, sense, wind, a
// descending spiral, S-turns), one oracle that checks every flight.
#include "common/SyntheticIgc.h"
#include "import/IgcReader.h"
#include "import/ShowFlight.h"
#include "overlay/FlightAnalysis.h"
#include "overlay/WindFromCircling.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

using namespace trelvano;
using synthetic::Flight;
using synthetic::Leg;
using synthetic::LegTruth;
using synthetic::Manoeuvre;

struct Case {
  const char* name;
  Flight flight;
};

Flight glider(double interval, double turn, double windKmh, double windFrom) {
  Flight f;
  f.interval = interval, f.airspeed = 25, f.glideRatio = 40;
  f.windSpeed = windKmh / 3.6, f.windFrom = windFrom, f.seed = unsigned(interval * 10 + windFrom);
  f.legs = {{Manoeuvre::Glide, 200},
            {Manoeuvre::Thermal, 240, turn, 2.5},
            {Manoeuvre::Glide, 300},
            {Manoeuvre::Thermal, 160, turn, 1.2},
            {Manoeuvre::Glide, 250}};
  return f;
}

Flight paraglider(double interval, double turn, double windKmh, double windFrom) {
  Flight f;
  f.interval = interval, f.airspeed = 10, f.glideRatio = 9;
  f.windSpeed = windKmh / 3.6, f.windFrom = windFrom, f.seed = unsigned(interval * 100 + windFrom);
  f.legs = {{Manoeuvre::Glide, 120},
            {Manoeuvre::Thermal, 300, turn, 1.8},
            {Manoeuvre::Glide, 150},
            {Manoeuvre::Thermal, 200, -turn, 0.9},
            {Manoeuvre::Glide, 120}};
  return f;
}

const std::vector<Case>& cases() {
  static const std::vector<Case> all = [] {
    std::vector<Case> c = {
        {"glider 1 s left", glider(1, 18, 20, 270)},
        {"glider 4 s right", glider(4, -17, 30, 45)},
        {"paraglider 1 s right", paraglider(1, -24, 15, 180)},
        {"paraglider 4 s left", paraglider(4, 22, 18, 315)},
    };
    Flight spiral = paraglider(1, 24, 20, 100);
    spiral.legs.push_back({Manoeuvre::Spiral, 60, 50, 9});
    spiral.legs.push_back({Manoeuvre::Glide, 100});
    c.push_back({"paraglider spiral", spiral});
    Flight sTurns = glider(1, 18, 25, 200);
    // Swinging right first after a left turn, so the turn ends where the thermal does.
    sTurns.legs.insert(sTurns.legs.begin() + 2, {Manoeuvre::STurns, 120, -20});
    sTurns.legs.push_back({Manoeuvre::STurns, 90, 22});
    c.push_back({"glider S-turns", sTurns});
    return c;
  }();
  return all;
}

double angleBetween(double a, double b) { return std::abs(std::remainder(a - b, 360.0)); }

class FlightAnalysisOracle : public ::testing::TestWithParam<size_t> {};

TEST_P(FlightAnalysisOracle, FindsWhatTheFlightDid) {
  const Case& c = cases()[GetParam()];
  SCOPED_TRACE(c.name);
  const Flight& f = c.flight;
  std::vector<LegTruth> truth;
  const QByteArray bytes = synthetic::igcBytes(f, &truth);
  FlightDataPtr data = makeFlightData();
  showFlight(*data, readIgc(bytes, QStringLiteral("synthetic.igc")));
  analyseFlight(*data);
  const FlightAnalysis& a = data->Analysis;
  ASSERT_TRUE(a.valid);

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

  // Thermals: one per climbing circle, none for the spiral.
  std::vector<LegTruth> thermals, glides;
  double circling = 0;
  for (const LegTruth& t : truth) {
    if (t.kind == Manoeuvre::Thermal) thermals.push_back(t);
    // A glide with S-turns next to it is one glide.
    const bool straight = t.kind == Manoeuvre::Glide || t.kind == Manoeuvre::STurns;
    if (straight && !glides.empty() && glides.back().end == t.start) {
      LegTruth& g = glides.back();
      g.end = t.end, g.x1 = t.x1, g.y1 = t.y1, g.z1 = t.z1;
      g.groundRatio = std::hypot(g.x1 - g.x0, g.y1 - g.y0) / (g.z0 - g.z1);
    } else if (straight) {
      glides.push_back(t);
    }
    if (t.kind == Manoeuvre::Thermal || t.kind == Manoeuvre::Spiral) circling += t.end - t.start;
  }
  ASSERT_EQ(a.thermals.size(), thermals.size());
  for (size_t k = 0; k < thermals.size(); ++k) {
    EXPECT_NEAR(a.thermals[k].start, thermals[k].start, 15);
    EXPECT_NEAR(a.thermals[k].end, thermals[k].end, 15);
    EXPECT_NEAR(a.thermals[k].climb, thermals[k].climb, 0.1);
    EXPECT_TRUE(a.thermals[k].hasWind);
  }
  EXPECT_NEAR(a.totals.circlingShare, 100 * circling / truth.back().end, 2.0);

  // Glides: the ratio over the ground of each glide long enough to stand alone.
  for (const LegTruth& t : glides) {
    if (t.end - t.start < 100) continue;
    const Glide* best = nullptr;
    for (const Glide& g : a.glides)
      if (g.start < t.end && g.end > t.start && (!best || g.end - g.start > best->end - best->start)) best = &g;
    ASSERT_NE(best, nullptr);
    EXPECT_NEAR(best->ratio, t.groundRatio, 0.05 * t.groundRatio) << "glide at " << t.start;
  }

  // Wind: every full turn of a thermal close to the true wind; the spiral's
  // turns of a few seconds, with a handful of fixes each, at least not turned
  // round; none outside the circles.
  const double tolSpeed = f.interval > 2 ? 3.0 : 2.0, tolAngle = f.interval > 2 ? 8.0 : 5.0;
  ASSERT_FALSE(a.wind.empty());
  for (const WindEstimate& w : a.wind) {
    const LegTruth* in = nullptr;
    for (const LegTruth& t : truth)
      if ((t.kind == Manoeuvre::Thermal || t.kind == Manoeuvre::Spiral) && w.time > t.start && w.time < t.end) in = &t;
    ASSERT_NE(in, nullptr) << "wind at " << w.time;
    if (in->kind == Manoeuvre::Spiral) {
      EXPECT_LE(angleBetween(w.windFrom, f.windFrom), 30) << "turn at " << w.time;
      continue;
    }
    EXPECT_NEAR(w.speed, f.windSpeed * 3.6, tolSpeed) << "turn at " << w.time;
    EXPECT_LE(angleBetween(w.windFrom, f.windFrom), tolAngle) << "turn at " << w.time;
    EXPECT_NEAR(w.airspeed, f.airspeed * 3.6, 0.15 * f.airspeed * 3.6);
  }
}

INSTANTIATE_TEST_SUITE_P(Flights, FlightAnalysisOracle, ::testing::Range<size_t>(0, 6));

}  // namespace

namespace {

bool allFinite(const trelvano::FlightAnalysis& a) {
  using namespace trelvano;
  std::vector<double> v = {a.totals.flightTime,   a.totals.circlingTime, a.totals.circlingShare, a.totals.averageClimb,
                           a.totals.averageRatio, a.totals.best30sClimb, a.totals.heightGained};
  for (const Thermal& t : a.thermals) v.insert(v.end(), {t.start, t.end, t.gain, t.climb, t.windSpeed, t.windFrom});
  for (const Glide& g : a.glides) v.insert(v.end(), {g.start, g.end, g.distance, g.heightLoss, g.speed, g.ratio});
  for (const WindEstimate& w : a.wind) v.insert(v.end(), {w.time, w.height, w.speed, w.windFrom, w.quality});
  for (double x : v)
    if (!std::isfinite(x)) return false;
  return true;
}

// Flights that are hardly flights: what can be known, never a NaN, phases over every point.
TEST(FlightAnalysisBadInput, GivesWhatCanBeKnown) {
  using namespace trelvano;
  struct Row {
    const char* name;
    std::vector<double> steps;  // time step of each point (its count is the point count)
    bool moving;                // points 30 m apart, else all on one spot
  };
  const std::vector<Row> rows = {
      {"single point", {2}, true},
      {"no times", std::vector<double>(50, 0.0), true},
      {"duplicate fixes", std::vector<double>(50, 0.0), false},
      {"time jump", {2, 1, 1, 1, 3600, 1, 1, 1, 0, 0, 1}, true},
      {"steps not finite or backward", {2, NAN, -5, INFINITY, 1, 1}, true},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    FlightDataPtr data = makeFlightData();
    const int n = int(row.steps.size());
    for (int i = 0; i < n; ++i) {
      FlightPoint& p = data->FlightPath[i];
      p.Lat = 47 + (row.moving ? i * 0.0003 : 0), p.Lon = 11, p.Altitude = 500 + (i % 3);
      p.X = 0, p.Y = (p.Lat - 47) * 108000, p.TimeStep = row.steps[size_t(i)];
    }
    data->LastPoint = n - 1;
    analyseFlight(*data);
    const FlightAnalysis& a = data->Analysis;
    ASSERT_TRUE(a.valid);
    EXPECT_TRUE(allFinite(a));
    ASSERT_FALSE(a.phases.empty());
    EXPECT_EQ(a.phases.front().from, 0);
    EXPECT_EQ(a.phases.back().to, n - 1);
    EXPECT_TRUE(a.wind.empty());
  }
}

}  // namespace
