#pragma once
// The cross-country score of the loaded flight as the "Wertung" tab shows
// it: the league chosen, the search running in the background, its result
// and the route the 3D view draws (the best type's, or the chosen row's).
// A flight analysed anew (another flight loaded) drops a running search
// and the score of the flight before.

#include "analysis/score/BackgroundScore.h"
#include "analysis/score/ScoreTable.h"
#include "model/FlightData.h"

#include <QString>
#include <optional>

namespace trelvano {

class FlightScoring {
 public:
  const League& league() const { return *league_; }
  // The league by its key ("xcontest", …; an unknown key chooses the
  // first); another league drops the score.
  void setLeague(QStringView key, FlightData& data);

  // Call after every command: drops what belongs to a flight analysed before.
  void follow(FlightData& data);
  // Starts the search on the loaded flight's free flight, unless it runs
  // or its result is there.
  void start(const FlightData& data);
  // Drops the score and searches again.
  void restart(FlightData& data) {
    drop(data);
    start(data);
  }
  // Stops the search; its routes found so far become the score.
  void stop() { run_.stop(); }
  bool running() const { return run_.running(); }
  // Takes the ended search's result and draws the best route; true when
  // there was one to take.
  bool collect(FlightData& data);
  // Draws the route of `row` of the table (none found: the best's).
  void choose(int row, FlightData& data);

  // "Wertung wird berechnet … 45 %" while the search runs, else empty.
  QString statusText() const;
  const std::optional<FlightScore>& score() const { return score_; }
  ScoreTableText table() const;
  // Counts the changes of the score and of the route drawn, so a window
  // can tell whether to fill its table again.
  uint64_t changes() const { return changes_; }

 private:
  void drop(FlightData& data);

  BackgroundScore run_;
  const League* league_ = &leagues()[0];
  std::optional<FlightScore> score_;
  std::optional<uint64_t> version_;  // the analysis the search or score belongs to
  int chosen_ = -1;
  uint64_t changes_ = 0;
};

}  // namespace trelvano
