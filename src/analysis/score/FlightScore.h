#pragma once
// What the scoring takes and gives: the fixes of the free flight in, per
// flight type of a league its best route out, all as plain values.

#include "analysis/score/LeagueRules.h"

#include <optional>
#include <vector>

namespace trelvano {

// One fix of the free flight (from take-off to landing).
struct ScoreFix {
  double lat = 0;       // degrees, north positive
  double lon = 0;       // degrees, east positive
  double altitude = 0;  // metres (NaN = unknown)
  double utc = 0;       // seconds since 1970-01-01 UTC (NaN = unknown)
  int index = 0;        // the fix's index in the flight
};

// A fix of a scored route.
struct RoutePoint {
  double lat = 0, lon = 0;  // degrees
  double utc = 0;           // seconds since 1970-01-01 UTC (NaN = unknown)
  int index = 0;            // the fix's index in the flight
};

// The best route of one flight type.
struct TypeScore {
  const FlightTypeRule* rule = nullptr;  // the type, an entry of its league's table
  double distanceKm = 0;                 // the scored distance
  double points = 0;                     // distanceKm × the type's multiplier
  // The route's fixes in time order; empty when the flight has no route of
  // this type. A path lists start, turnpoints (up to the type's number; a
  // turnpoint that would repeat the fix before it is left out) and finish; a
  // triangle always five fixes: start, the three turnpoints, finish.
  std::vector<RoutePoint> route;
  // Triangles: the distance between start and finish, km (none for a path).
  std::optional<double> closingKm;
  // The legs between turnpoints, km: a path's legs in order; a triangle's
  // three sides, the last from the third turnpoint back to the first.
  std::vector<double> legsKm;

  bool found() const { return !route.empty(); }
};

struct FlightScore {
  const League* league = nullptr;
  std::vector<TypeScore> types;  // one per flight type of the league, in its order
  int best = -1;                 // the type with the most points (the first of equals); -1 = none found
  // False when the computation was stopped: each type then holds the best
  // route found so far, which a longer search might still beat.
  bool complete = true;
};

}  // namespace trelvano
