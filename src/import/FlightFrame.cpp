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
  // Computed into a copy and written back only when every sample converted:
  // a conversion that fails part way leaves the altitudes and the flag as they were.
  std::vector<double> altitudes(static_cast<size_t>(last) + 1);
  bool useBaro = data.UseBaroAltitude;
  const QString label =
      fillAltitudes(last, data.RawSamples.rows, data.ChannelSamples.rows, data.ChannelParams, data.Temperature, useBaro,
                    [&altitudes](int32_t i) -> double& { return altitudes[i]; });
  FlightPoint* const path = data.FlightPath.data();
  for (int32_t i = 0; i <= last; ++i) path[i].Altitude = altitudes[i];
  data.UseBaroAltitude = useBaro;
  return label;
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
