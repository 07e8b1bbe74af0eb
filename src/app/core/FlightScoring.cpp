#include "app/core/FlightScoring.h"

#include "app/core/FreeFlightFixes.h"

#include <cmath>

namespace trelvano {

void FlightScoring::setLeague(QStringView key, FlightData& data) {
  const League* league = findLeague(key);
  if (!league) league = &leagues()[0];
  if (league == league_) return;
  league_ = league;
  drop(data);
}

void FlightScoring::drop(FlightData& data) {
  run_.drop();
  score_.reset();
  version_.reset();
  chosen_ = -1;
  data.ScoreRoute = {};
  ++changes_;
}

void FlightScoring::follow(FlightData& data) {
  if (version_ && *version_ != data.Analysis.version) drop(data);
}

void FlightScoring::start(const FlightData& data) {
  if (run_.running() || score_ || !data.HasFlight) return;
  version_ = data.Analysis.version;
  run_.start(freeFlightFixes(data), *league_);
  ++changes_;
}

bool FlightScoring::collect(FlightData& data) {
  std::optional<FlightScore> result = run_.take();
  if (!result) return false;
  score_ = std::move(result);
  chosen_ = -1;
  choose(-1, data);
  return true;
}

void FlightScoring::choose(int row, FlightData& data) {
  if (!score_) return;
  const int count = int(score_->types.size());
  chosen_ = row >= 0 && row < count && score_->types[size_t(row)].found() ? row : -1;
  const int shown = chosen_ >= 0 ? chosen_ : score_->best;
  data.ScoreRoute = shown >= 0 ? routeMark(score_->types[size_t(shown)]) : RouteMark{};
  ++changes_;
}

QString FlightScoring::statusText() const {
  if (!run_.running()) return QString();
  return QStringLiteral("Wertung wird berechnet … %1 %").arg(std::lround(100 * run_.progress()));
}

ScoreTableText FlightScoring::table() const {
  if (score_) return scoreTable(*score_);
  FlightScore empty;
  empty.league = league_;
  ScoreTableText table = scoreTable(empty);
  table.note = run_.running() ? statusText() : QString();
  return table;
}

}  // namespace trelvano
