#include "app/core/FlightExport.h"

namespace trelvano {

double seaLevelAltitude(const FlightData& data, int32_t i) {
  const FlightPoint& p = data.FlightPath[i];
  if (data.LoggerNG) return p.Altitude + data.RawSamples[0][kColGpsAlt] * 0.1;
  if (data.HasGnssAltitudes && data.GnssAltitude[checkIndex(i, kMaxFlightPoints)] != 0) return data.GnssAltitude[i];
  return p.Altitude;
}

}  // namespace trelvano
