#include "import/FlightFrame.h"

#include <algorithm>

#include "import/AltitudeSource.h"
#include "import/Coordinates.h"
#include "import/LocalFrame.h"

#include <vector>

namespace trelvano {

std::optional<QString> Altitude(FlightData& data) {
  if (!data.LoggerNG) return std::nullopt;
  const int32_t last = data.LastPoint;
  if (last >= kSampleRows) throw RunError::range();  // a sample row per point
  // Computed apart and written only when every sample converted: a
  // conversion that fails part way leaves the altitudes and the flag as they were.
  const LoggerAltitudes source = loggerAltitudes(std::span<const SampleRow>(data.RawSamples.rows, size_t(last) + 1),
                                                 data.ChannelParams, data.Temperature, data.UseBaroAltitude);
  FlightPoint* const path = data.FlightPath.data();
  for (int32_t i = 0; i <= last; ++i) path[i].Altitude = source.altitudes[size_t(i)];
  data.UseBaroAltitude = source.baro;
  return source.label;
}

void MaxMinusw(FlightData& data) {
  const int32_t last = data.LastPoint;
  if (last >= kMaxFlightPoints) throw RunError::range();  // plumb lines take two entries per point
  const FlightPoint& o = data.FlightPath[data.RangeStart];
  const FrameOrigin origin{o.Lat, o.Lon, o.Altitude};
  const double step = data.SampleInterval;
  writeFlightFrame(data, last, origin, [step](int32_t, FlightPoint& p) { p.TimeStep = step; });
}

void moveOriginToRangeStart(FlightData& data) {
  MaxMinusw(data);
  const int32_t o = data.RangeStart;
  const FlightPoint& p = data.FlightPath[o];
  data.StartLatRaw = loggerForm(p.Lat);
  data.StartLonRaw = loggerForm(p.Lon);
  data.StartAltitude = data.LoggerNG ? data.RawSamples[o][kColGpsAlt] * 0.1 : p.Altitude;
}

FrameOrigin flightOrigin(const FlightData& data) {
  const int32_t o = std::clamp(data.RangeStart, 0, std::max(0, data.LastPoint));
  const FlightPoint& p = data.FlightPath[o];
  const double lat = p.Lat - p.Y / kMetresPerDegree;
  const double lon = p.Lon + p.X / (kMetresPerDegree * latitudeCosine(p.Lat));
  return {lat, lon, p.Altitude - p.Z};
}

}  // namespace trelvano
