#pragma once
// What an IGC file says beside its fixes: who flew what on which day (H
// records), the declared task (C records), the events (E records), the
// engine-noise and propulsion values of each fix (I record extensions ENL and
// MOP) and whether the security record (G) is there.
// The IGC reader fills it; every other reader leaves it empty.

#include <QString>
#include <cmath>
#include <cstdint>
#include <limits>
#include <vector>

namespace trelvano {

// One point of the declared task, in the file's order: take-off, start,
// turnpoints, finish, landing.
struct TaskPoint {
  QString name;              // as declared, blanks trimmed
  double lat = 0;            // decimal degrees, north positive
  double lon = 0;            // decimal degrees, east positive
  bool placeholder = false;  // declared at 0°/0°: listed, never drawn
};

// An E record.
struct FlightEvent {
  int32_t point = 0;  // the first fix at or after the event (FlightPath index)
  double time = 0;    // seconds since the first fix
  QString code;       // the three-letter code, e.g. "PEV"
};

struct IgcExtras {
  // The header's pilot (HFPLT), glider type (HFGTY) and registration (HFGID),
  // the first that gives one, blanks and trailing commas trimmed; empty where
  // the file gives none or a placeholder ("NKN", "NIL").
  QString pilot, gliderType, gliderId;
  // Midnight UTC of the first date record (HFDTE), seconds since 1970; NaN without one.
  double date = std::numeric_limits<double>::quiet_NaN();
  // The last declaration of the file (a later one replaces an earlier one).
  std::vector<TaskPoint> task;
  std::vector<FlightEvent> events;
  // Per fix (FlightPath index), 0 … 999; -1 where the fix carries no
  // readable value. Empty when the I record names no such extension.
  std::vector<int16_t> enl;     // engine noise level
  std::vector<int16_t> mop;     // means of propulsion
  bool securityRecord = false;  // a G record is present (nothing checks it)
  // The header declares the GNSS altitudes above the WGS 84 ellipsoid
  // (HFALGALTGPS:ELL), not above the geoid.
  bool gnssAboveEllipsoid = false;

  void clear() {
    pilot.clear();
    gliderType.clear();
    gliderId.clear();
    date = std::numeric_limits<double>::quiet_NaN();
    task.clear();
    events.clear();
    enl.clear();
    mop.clear();
    securityRecord = false;
    gnssAboveEllipsoid = false;
  }
};

}  // namespace trelvano
