#pragma once
// The texts of the "Wertung" table of a flight's score, one row per flight
// type of the league, and the route of a row as the 3D view draws it.

#include "analysis/score/FlightScore.h"
#include "model/RouteMark.h"

#include <QStringList>
#include <vector>

namespace trelvano {

struct ScoreTableText {
  QStringList headers;
  std::vector<QStringList> rows;  // one per flight type, in the league's order
  int bestRow = -1;               // the row marked best; -1 = no route found
  // Beneath the table: what the figures are ("Abgebrochen: …" for a search
  // that was stopped before it had proven its routes best).
  QString note;
};

ScoreTableText scoreTable(const FlightScore& score);

// A path's legs from start to finish; a triangle's three sides with the
// gap between its start and finish. Empty when the type has no route.
RouteMark routeMark(const TypeScore& type);

}  // namespace trelvano
