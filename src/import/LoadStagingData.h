#pragma once
// The layout of the staging area behind LoadStaging.h: the parsed points and
// sample rows of the file being read, before they replace the flight, and
// the vertices of a vector map before they replace the map.

#include "import/LoadStaging.h"
#include "model/FlightData.h"

#include <QString>
#include <cstdint>
#include <vector>

namespace trelvano {

// One parsed fix or logger line.
struct StagedPoint {
  int32_t latRaw;        // logger form DDMMmmm, negative for south
  int32_t lonRaw;        // logger form DDDMMmmm, negative for west
  double aux;            // old-format logger: third field as read
  double altitude;       // metres: IGC pressure altitude, old-format field 4 × 0.13, or the
                         // new-format altitude once the altitude source was applied
  double timeStep;       // IGC: seconds since the previous fix (2.0 for the first)
  int32_t gnssAltitude;  // IGC: GNSS altitude in metres, 0 where the fix has none
  double time;           // IGC: seconds from the midnight of the last date record before the fix
};

// One parsed GPX track or route point.
struct StagedGpxPoint {
  double lat, lon;  // degrees
  double altitude;  // metres, 0 where the file gave none
  double time;      // seconds since 1970 UTC, NaN where the file gave none
};

// A logger line whose first field ends the line is written to slot n and then
// overwritten by the next line; the extra slot lets such a line follow the
// last of kMaxFlightPoints points.
// An IGC file's records beside the fixes, as read so far.
struct IgcStaging {
  trelvano::IgcExtras extras;
  // Per fix: the minutes that the LAD and LOD extensions add to the
  // latitude and longitude (always positive; the hemisphere gives the sign).
  // Empty when the file has neither.
  std::vector<double> latMinutes, lonMinutes;
  // E records: the fix that follows each and the event's second of the day.
  struct Event {
    int32_t nextFix;
    int32_t secondOfDay;
    QString code;
  };
  std::vector<Event> events;
  void clear() {
    extras.clear();
    latMinutes.clear();
    lonMinutes.clear();
    events.clear();
  }
};

constexpr int kStagingSlots = kMaxFlightPoints + 1;

struct LoadStaging {
  StagedPoint points[kStagingSlots];
  SampleRow rows[kSampleRows];            // new-format samples as read
  FlightPoint vectorMap[kPointCapacity];  // the vector map being read
  StagedGpxPoint gpxPoints[kMaxFlightPoints];
  IgcStaging igc;
};

}  // namespace trelvano
