#pragma once
// The scoring rules of the cross-country leagues, kept as data: one table per
// league with its flight types, their multipliers, closing rules and the
// distance formula. The solver reads only these tables.

#include <QStringView>
#include <array>
#include <limits>
#include <vector>

namespace trelvano {

// How a league measures the distance between two fixes.
enum class DistanceFormula {
  Wgs84Ellipsoid,  // the geodesic on the WGS 84 ellipsoid
  FaiSphere,       // the great circle on a sphere of 6371 km radius
};

enum class RouteShape {
  Path,      // start, turnpoints and finish in time order; the legs add up
  Triangle,  // three turnpoints in time order; the legs close the triangle
};

struct FlightTypeRule {
  const char* key;      // as trelvano-dump writes it, e.g. "faiTriangle"
  const char* caption;  // as the program shows it, e.g. "FAI-Dreieck"
  RouteShape shape;
  // Path: the fixes of the route, start and finish included (5 = up to three
  // turnpoints). Triangle: always 3, the turnpoints.
  int points;
  double multiplier;
  // Triangle: every leg at least this share of the perimeter (0 = any triangle).
  double minLegShare = 0;
  // Triangle: the start and finish may lie this far apart, metres plus this
  // share of the perimeter.
  double closingMetres = 0;
  double closingShare = 0;
  // Triangle: the scored distance is the perimeter less the closing distance
  // (else the perimeter).
  bool closingDeducted = false;
  // Path: the finish no more than this many metres below the start (infinity = no limit).
  double maxHeightLoss = std::numeric_limits<double>::infinity();
};

struct League {
  const char* key;      // "xcontest", "ffvl", "fai", "olc"
  const char* caption;  // "XContest", …
  DistanceFormula formula;
  std::vector<FlightTypeRule> types;
};

// The leagues in the order the program offers them.
const std::array<League, 4>& leagues();
// The league of `key` (leagues()[k].key); nullptr when none has it.
const League* findLeague(QStringView key);

// How far apart the start and finish of a triangle of `perimeter` may lie (metres).
double closingAllowance(const FlightTypeRule& rule, double perimeter);
// Whether a triangle with these legs (metres) has every leg long enough for `rule`.
bool legsQualify(const FlightTypeRule& rule, double a, double b, double c);
// The distance a triangle with these legs and closing distance scores under
// `rule`, metres; negative when it does not qualify (a leg too short, or not closed).
double triangleDistance(const FlightTypeRule& rule, double a, double b, double c, double closing);

}  // namespace trelvano
