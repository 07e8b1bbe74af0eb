#include "analysis/score/BackgroundScore.h"

namespace trelvano {

void BackgroundScore::start(std::vector<std::vector<ScoreFix>> stretches, const League& league) {
  drop();
  stop_ = false, ended_ = false, progress_ = 0;
  worker_ = std::thread([this, stretches = std::move(stretches), &league] {
    try {
      ScoreControl control{&stop_, [this](double done) { progress_.store(done, std::memory_order_relaxed); }};
      result_ = scoreStretches(stretches, league, control);
    } catch (...) {
      error_ = std::current_exception();
    }
    ended_.store(true, std::memory_order_release);
  });
}

void BackgroundScore::drop() {
  stop_ = true;
  if (worker_.joinable()) worker_.join();
  result_ = FlightScore{};
  error_ = nullptr;
}

std::optional<FlightScore> BackgroundScore::take() {
  if (!worker_.joinable() || !ended_.load(std::memory_order_acquire)) return std::nullopt;
  worker_.join();
  if (error_) std::rethrow_exception(std::exchange(error_, nullptr));
  return std::exchange(result_, FlightScore{});
}

}  // namespace trelvano
