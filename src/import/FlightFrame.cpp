#include "import/FlightFrame.h"

#include "import/AltitudeSource.h"
#include "import/Coordinates.h"
#include "import/LocalFrame.h"

std::optional<QString> Altitude(FlightData& data) {
  if (!data.LoggerNG) return std::nullopt;
  const int32_t last = data.LastPoint;
  if (last >= kSampleRows) throw RunError::range();  // a sample row per point
  FlightPoint* const path = data.FlightPath.data();
  return fillAltitudes(last, data.RawSamples.rows, data.ChannelSamples.rows, data.ChannelParams, data.Temperature,
                       data.UseBaroAltitude, [path](int32_t i) -> double& { return path[i].Altitude; });
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
