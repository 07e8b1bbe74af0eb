#pragma once
// The flight analysis of the loaded flight: its phases (circling, gliding),
// thermals, glides, totals, the wind found in its turns and the engine runs.
// Computed once per load (overlay/FlightAnalysis.h); the table window, the
// renderer, the chart and trelvano-dump read it.
//
// Times are seconds since the first fix; indices are FlightPath indices.

#include <algorithm>
#include <cstdint>
#include <iterator>
#include <vector>

namespace trelvano {

enum class PhaseKind : int8_t { Gliding, Circling };
enum class TurnDirection : int8_t { None, Left, Right, Mixed };

// A stretch of the flight: points from … to (both included), seconds from start to end.
struct FlightSection {
  int32_t from = 0, to = 0;
  double start = 0, end = 0;
};

// Points from … to (both included) belong to the phase; consecutive phases
// follow without gap or overlap and cover every point. A phase lasts from
// its first point to the next phase's first point (the last one to the last
// point), so their durations add up to the flight's.
struct FlightPhase : FlightSection {
  PhaseKind kind = PhaseKind::Gliding;
  TurnDirection direction = TurnDirection::None;  // None for gliding
};

// A circling phase that gained height. Its figures are measured from its
// first to its last point (the step into the next phase belongs to neither).
struct Thermal : FlightSection {  // the section of its phase
  double gain = 0;                // metres
  double climb = 0;               // average, m/s
  TurnDirection direction = TurnDirection::None;
  bool hasWind = false;     // a full turn in it gave a wind
  double windSpeed = 0;     // km/h
  double windFrom = 0;      // degrees the wind blows from, 0 = north, clockwise
  double lat = 0, lon = 0;  // degrees: the middle of its circles
  double altitude = 0;      // metres: its top
};

// A gliding phase, measured from its first to its last point.
struct Glide : FlightSection {  // the section of its phase
  double distance = 0;          // metres, geodesic from start to end point (WGS 84)
  double heightLoss = 0;        // metres, negative when it gained height
  double speed = 0;             // km/h over the ground
  double ratio = 0;             // distance / height loss; 0 = no height lost
};

struct AnalysisTotals {
  double flightTime = 0;     // seconds, first to last fix
  double circlingTime = 0;   // seconds
  double circlingShare = 0;  // percent of flightTime
  double averageClimb = 0;   // m/s: height gained in thermals over their time
  double averageRatio = 0;   // all glides' distance over their height loss; 0 = none
  double best30sClimb = 0;   // m/s: the best climb over 30 s or more
  double heightGained = 0;   // metres, in thermals
  int thermals = 0;
};

// The wind of one full turn: the centre of a circle fitted to the ground
// velocities (the radius is the airspeed).
struct WindEstimate {
  int32_t from = 0, to = 0;  // points of the turn
  double time = 0;           // seconds, middle of the turn
  double height = 0;         // metres, mean altitude of the turn
  double speed = 0;          // km/h
  double windFrom = 0;       // degrees the wind blows from, 0 = north, clockwise
  double airspeed = 0;       // km/h
  double quality = 0;        // 0 … 1: 1 − rms distance of the velocities from the circle / radius
};

// A period of high engine noise (ENL) or propulsion (MOP).
struct EngineRun : FlightSection {};

struct FlightAnalysis {
  bool valid = false;    // computed for the loaded flight
  uint64_t version = 0;  // counts the analyses, so a window can tell a new one
  std::vector<FlightPhase> phases;
  std::vector<Thermal> thermals;
  std::vector<Glide> glides;
  AnalysisTotals totals;
  std::vector<WindEstimate> wind;  // by time
  std::vector<EngineRun> engineRuns;
  std::vector<double> time;  // per point: seconds since the first fix

  void clear() {
    valid = false;
    ++version;
    phases.clear();
    thermals.clear();
    glides.clear();
    totals = {};
    wind.clear();
    engineRuns.clear();
    time.clear();
  }
};

// The estimate nearest to `time` (seconds since the first fix) in `wind`
// (sorted by time); nullptr when there is none.
inline const WindEstimate* nearestWind(const std::vector<WindEstimate>& wind, double time) {
  if (wind.empty()) return nullptr;
  auto it =
      std::lower_bound(wind.begin(), wind.end(), time, [](const WindEstimate& w, double t) { return w.time < t; });
  if (it == wind.end()) return &wind.back();
  if (it != wind.begin() && time - std::prev(it)->time <= it->time - time) return &*std::prev(it);
  return &*it;
}

}  // namespace trelvano
