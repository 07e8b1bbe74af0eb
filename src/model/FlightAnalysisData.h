#pragma once
// The flight analysis of the loaded flight: take-off and landing, the launch
// and the engine runs, its phases (on the ground, launch, engine, circling,
// gliding), thermals, glides, totals and the wind found in its turns.
// Computed once per load (analysis/AnalyseFlight.h); the table window, the
// renderer, the chart and trelvano-dump read it.
//
// Times are seconds since the first fix; indices are FlightPath indices;
// heights are the flight's altitudes in metres, with spikes passed over.
// Clock times are UTC seconds since 1970-01-01, NaN where the flight has none.

#include <QString>

#include <algorithm>
#include <cstdint>
#include <iterator>
#include <limits>
#include <vector>

namespace trelvano {

enum class PhaseKind : int8_t { Gliding, Circling, Ground, Launch, Engine };
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
  TurnDirection direction = TurnDirection::None;  // None unless circling
};

// A fix where the aircraft left or reached the ground.
struct GroundContact {
  int32_t point = 0;
  double time = 0;  // seconds since the first fix
  double utc = 0;   // NaN without clock
  double lat = 0, lon = 0;
};

// One time in the air: take-off at `from`, landing at the fix after `to`
// (its end is the landing's time). A recording that begins or ends in the air
// has no take-off or landing of that flight in the lists below.
struct AirborneSection : FlightSection {
  bool takeoffSeen = false;
  bool landingSeen = false;
};

// The launch right after a take-off: the climb on the winch or behind the
// tow plane, up to the release.
enum class LaunchKind : int8_t { Tow, Winch };
struct Launch : FlightSection {
  LaunchKind kind = LaunchKind::Tow;
  double gain = 0;  // metres, take-off to release
};

// A stretch under engine: a run of the engine (ENL or MOP) in the air and the
// climb it gave.
struct EngineClimb : FlightSection {
  double gain = 0;  // metres, negative when it lost height
};

// A circling phase of free flight that gained at least kMinThermalGain.
// Its figures are measured from its first to its last point (the step into
// the next phase belongs to neither).
struct Thermal : FlightSection {  // the section of its phase
  double gain = 0;                // metres, exit height − entry height
  double climb = 0;               // average, m/s
  TurnDirection direction = TurnDirection::None;
  bool hasWind = false;                    // a full turn in it gave a wind
  double windSpeed = 0;                    // km/h
  double windFrom = 0;                     // degrees the wind blows from, 0 = north, clockwise
  double lat = 0, lon = 0;                 // degrees: the middle of its circles
  double altitude = 0;                     // metres: its top
  double entryHeight = 0, exitHeight = 0;  // metres, at its first and last point
  double utcStart = 0, utcEnd = 0;         // clock at start and end; NaN without clock
};

// The free flight between two thermals (or between a take-off or release and
// the first thermal, the last thermal and the landing), measured from its
// first to its last point.
struct Glide : FlightSection {
  double distance = 0;    // metres, geodesic from start to end point (WGS 84)
  double heightLoss = 0;  // metres, negative when it gained height
  double speed = 0;       // km/h over the ground
  double ratio = 0;  // distance / height loss; 0 = none (lost less than kMinGlideLoss, or climbed as much on the way)
};

// The thermals whose average climb lies in [from, to) m/s.
struct ClimbClass {
  double from = 0, to = 0;
  int count = 0;
};

// Totals of the free flight (in the air, without launch and engine) unless said otherwise.
struct AnalysisTotals {
  double flightTime = 0;      // seconds, first to last fix
  double airborneTime = 0;    // seconds, take-off to landing, summed over the flights in the air
  double freeFlightTime = 0;  // seconds
  double circlingTime = 0;    // seconds
  double circlingShare = 0;   // percent of freeFlightTime
  double averageClimb = 0;    // m/s: height gained in thermals over their time
  double averageRatio = 0;    // distance over height lost of the glides with a ratio; 0 = none
  double best30sClimb = 0;    // m/s: the best climb over 30 s or more
  double heightGained = 0;    // metres, in thermals
  int thermals = 0;
  int spikes = 0;                          // fixes whose altitude jump was passed over
  std::vector<ClimbClass> climbHistogram;  // 0.5 m/s classes from 0 up to the strongest thermal
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
  std::vector<AirborneSection> airborne;
  std::vector<GroundContact> takeoffs, landings;
  std::vector<Launch> launches;
  std::vector<EngineClimb> engine;
  // The free flight: in the air, without launch and engine; what thermals,
  // glides and totals count (and what a scorer takes).
  std::vector<FlightSection> freeFlight;
  std::vector<int32_t> spikes;  // points whose altitude was passed over
  std::vector<Thermal> thermals;
  std::vector<Glide> glides;
  AnalysisTotals totals;
  std::vector<WindEstimate> wind;  // by time
  std::vector<EngineRun> engineRuns;
  // Why the figures may miss circling ("Fixabstand 10 s: Kreisen nicht
  // sicher erkennbar"); empty when there is no reason to doubt them.
  QString warning;
  std::vector<double> time;  // per point: seconds since the first fix
  std::vector<double> utc;   // per point: clock (NaN = none); empty for a flight without clock
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

// The clock at `time` (seconds since the first fix): the clock of the last
// point at or before it plus the time since; NaN without clock.
inline double clockAt(const FlightAnalysis& a, double time) {
  if (a.utc.empty() || a.utc.size() != a.time.size()) return std::numeric_limits<double>::quiet_NaN();
  auto it = std::upper_bound(a.time.begin(), a.time.end(), time);
  const size_t i = it == a.time.begin() ? 0 : size_t(std::prev(it) - a.time.begin());
  return a.utc[i] + (time - a.time[i]);
}

}  // namespace trelvano
