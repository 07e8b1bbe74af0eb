#pragma once
// A flight as a reader returns it: the fixes of one file, sized to the file,
// and what the file says beside them. Nothing here depends on the view, the
// settings or another flight.

#include "model/FlightLimits.h"
#include "model/IgcExtras.h"
#include "model/SampleRow.h"

#include <QString>
#include <cstdint>
#include <vector>

namespace trelvano {

enum class FlightKind : uint8_t {
  Igc,
  Gpx,
  LoggerNew,  // "NG-Typ": 13 channels and a GPS fix per sample
  LoggerOld,  // "alter-Typ"
};

// One fix as read.
struct Fix {
  double Lat;       // decimal degrees, north positive
  double Lon;       // decimal degrees, east positive
  double Aux;       // third field of an old-format logger line, 0 for every other flight; nothing reads it
  double Altitude;  // metres: IGC pressure altitude (or GNSS where the file has no barometer), GPX ele,
                    // old-format field 4 × 0.13, new format by the altitude source (see withAltitudeSource)
  double TimeStep;  // seconds from the previous fix to this one (the first: 2 s, a logger's: its interval)
};
static_assert(sizeof(Fix) == 40, "a fix is five numbers");

// Where the file starts: the first fix's position as the recorder wrote it.
struct FlightStart {
  double latRaw = 0;    // DDMMmmm, negative for south
  double lonRaw = 0;    // DDDMMmmm, negative for west
  double altitude = 0;  // metres (a new-format logger flight: its first GPS altitude)
};

struct Flight {
  QString fileName;  // as the reader was given it (the name errors show)
  FlightKind kind = FlightKind::Igc;
  std::vector<Fix> fixes;  // at least one; at most 65536 (32768 for the new logger format)
  // Per fix, seconds since 1970 UTC (NaN = the file gave none for this fix);
  // empty when the flight has no clock (no IGC date record, no GPX time, logger files).
  std::vector<double> utc;
  // Per fix, the IGC GNSS altitude in metres above sea level (0 = the fix has
  // none); empty for every other flight.
  std::vector<double> gnssAltitude;
  // New-format logger flights: sample i belongs to fix i. Empty otherwise.
  std::vector<SampleRow> samples;
  IgcExtras igc;  // empty for every other flight

  FlightStart start;
  double sampleInterval = 2.0;  // seconds between two samples (IGC, GPX: the last time step)
  // The logger's header: the first two fields of the first line, and whether
  // new-format samples carry the GPS columns (flag 64). 0, 0, true for IGC and GPX.
  int32_t loggerHeaderId = 0;
  int32_t loggerHeaderFlags = 0;
  bool hasGpsColumns = true;
  // Where the altitudes come from: "Höhe: Luftdruck", "Höhe: GPS", "Höhe: AD2", …
  QString altitudeLabel;
  bool baroAltitudes = false;       // new format: from a channel of kind Höhe (else GPS)
  bool ellipsoidalHeights = false;  // IGC GNSS altitudes stand in and are heights above the ellipsoid

  int32_t lastIndex() const { return static_cast<int32_t>(fixes.size()) - 1; }
  bool hasClock() const { return !utc.empty(); }
};

}  // namespace trelvano
