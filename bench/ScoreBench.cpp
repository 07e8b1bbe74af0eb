// Cross-country scoring: every XContest flight type of a 40,000-fix flight,
// proven best. Should stay within a second.
#include "../tests/common/SyntheticXcFlight.h"

#include "analysis/score/ScoreFlight.h"

#include <benchmark/benchmark.h>

using namespace trelvano;

namespace {

// About 11 hours at a fix a second: an FAI triangle of some 250 km with a
// thermal every five minutes, drifting with the wind.
const std::vector<ScoreFix>& triangleFlight() {
  static const std::vector<ScoreFix> fixes = [] {
    synthetic::XcFlight f;
    f.route = {90000, 20000, 40000, 85000, 500, 800};
    f.driftEast = 1.5, f.driftNorth = 0.5;
    return synthetic::xcFixes(f);
  }();
  return fixes;
}

// As long again, all in one direction: the turnpoints may lie almost
// anywhere on the way for nearly the same distance.
const std::vector<ScoreFix>& straightFlight() {
  static const std::vector<ScoreFix> fixes = [] {
    synthetic::XcFlight f;
    f.route = {240000, 30000};
    return synthetic::xcFixes(f);
  }();
  return fixes;
}

void scoreXContest(benchmark::State& state, const std::vector<ScoreFix>& fixes) {
  const League& xcontest = *findLeague(u"xcontest");
  double points = 0;
  for (auto _ : state) points = scoreFlight(fixes, xcontest).types[0].points;
  state.counters["fixes"] = double(fixes.size());
  state.counters["freeKm"] = points;
}

void BM_ScoreXContestTriangle40000Fixes(benchmark::State& state) { scoreXContest(state, triangleFlight()); }
void BM_ScoreXContestStraight40000Fixes(benchmark::State& state) { scoreXContest(state, straightFlight()); }

}  // namespace

BENCHMARK(BM_ScoreXContestTriangle40000Fixes)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ScoreXContestStraight40000Fixes)->Unit(benchmark::kMillisecond);
