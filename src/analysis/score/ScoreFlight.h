#pragma once
// Scores a flight under a league's rules: for every flight type the route of
// the flight's own fixes that scores the most, proven best by a branch and
// bound over ranges of fixes.

#include "analysis/score/FlightScore.h"

#include <atomic>
#include <functional>

namespace trelvano {

struct ScoreControl {
  // Set from any thread to stop early; the result then holds the best routes
  // found so far and says it is not complete.
  const std::atomic<bool>* stop = nullptr;
  // Called now and then from the scoring thread with the fraction done, 0 … 1.
  std::function<void(double)> progress;
  // How many boxes the free distance may split before it turns to chaining
  // blocks of fixes, which proves long straight glides far sooner (0 = at once).
  long long boxSplitsBeforeBlocks = 200000;
};

// `fixes` in time order; fixes without a valid position are passed over.
FlightScore scoreFlight(const std::vector<ScoreFix>& fixes, const League& league, const ScoreControl& control = {});

// A flight of several stretches of free flight (landed and launched again,
// or an engine run between): a route may not reach over a gap, so each
// stretch is scored on its own and each type takes its best stretch.
FlightScore scoreStretches(const std::vector<std::vector<ScoreFix>>& stretches, const League& league,
                           const ScoreControl& control = {});

}  // namespace trelvano
