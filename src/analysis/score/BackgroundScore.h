#pragma once
// Scores a flight on a thread of its own, so that a window stays free while
// the search runs: its progress can be read, it can be stopped (and then
// gives the best routes found so far) or dropped with its result.

#include "analysis/score/ScoreFlight.h"

#include <atomic>
#include <exception>
#include <optional>
#include <thread>

namespace trelvano {

class BackgroundScore {
 public:
  BackgroundScore() = default;
  BackgroundScore(const BackgroundScore&) = delete;
  BackgroundScore& operator=(const BackgroundScore&) = delete;
  ~BackgroundScore() { drop(); }

  // Drops any run, then starts scoring `stretches` under `league`.
  void start(std::vector<std::vector<ScoreFix>> stretches, const League& league);
  // Asks the run to stop; it ends soon after with the routes found so far.
  void stop() { stop_ = true; }
  // Stops the run, waits for it and forgets it and its result.
  void drop();
  // Started and its result not yet taken.
  bool running() const { return worker_.joinable(); }
  // The fraction done, 0 … 1.
  double progress() const { return progress_.load(std::memory_order_relaxed); }
  // The result once the run has ended; none while it runs. Throws what the
  // run threw.
  std::optional<FlightScore> take();

 private:
  std::thread worker_;
  std::atomic<bool> stop_{false}, ended_{false};
  std::atomic<double> progress_{0};
  FlightScore result_;        // written by the run before it sets ended_
  std::exception_ptr error_;  // likewise
};

}  // namespace trelvano
