#include "import/ShowFlight.h"

#include "import/LocalFrame.h"

#include <cstring>

namespace trelvano {

void showFlight(FlightData& data, const Flight& flight) {
  const int32_t last = flight.lastIndex();
  const size_t count = flight.fixes.size();
  const bool newFormat = flight.kind == FlightKind::LoggerNew;
  auto perFix = [count](size_t size) { return size == 0 || size == count; };
  if (last < 0 || last >= kMaxFlightPoints || (newFormat && (last >= kSampleRows || flight.samples.size() != count)) ||
      !perFix(flight.utc.size()) || !perFix(flight.gnssAltitude.size()))
    throw RunError::range();

  data.LoggerNG = newFormat;
  data.LoggerHeaderId = flight.loggerHeaderId;
  data.LoggerHeaderFlags = flight.loggerHeaderFlags;
  data.HasGpsColumns = flight.hasGpsColumns;
  if (newFormat) data.UseBaroAltitude = flight.baroAltitudes;
  data.Igc = flight.igc;
  data.SampleInterval = flight.sampleInterval;
  data.StartLatRaw = flight.start.latRaw;
  data.StartLonRaw = flight.start.lonRaw;
  data.StartAltitude = flight.start.altitude;
  data.HasFlight = true;
  data.LastPoint = last;
  data.RangeStart = 0;
  data.RangeEnd = last;
  data.HasPointTimes = flight.hasClock();
  if (data.HasPointTimes) std::memcpy(data.PointTime, flight.utc.data(), count * sizeof(double));
  data.HasGnssAltitudes = !flight.gnssAltitude.empty();
  if (data.HasGnssAltitudes) std::memcpy(data.GnssAltitude, flight.gnssAltitude.data(), count * sizeof(double));
  if (newFormat) {
    std::memcpy(data.RawSamples.rows, flight.samples.data(), count * sizeof(SampleRow));
    std::memcpy(data.ChannelSamples.rows, flight.samples.data(), count * sizeof(SampleRow));
  }

  const Fix& first = flight.fixes[0];
  const Fix* const fixes = flight.fixes.data();
  writeFlightFrame(data, last, FrameOrigin{first.Lat, first.Lon, first.Altitude}, [fixes](int32_t i, FlightPoint& p) {
    const Fix& f = fixes[i];
    p.Lat = f.Lat;
    p.Lon = f.Lon;
    p.Aux = f.Aux;
    p.Altitude = f.Altitude;
    p.TimeStep = f.TimeStep;
    p.Pen = i == 0 ? kPenMove : kPenLine;
    p.Color = colours::kBlue;
  });
}

void KonvertExtra(FlightData& data) {
  std::memcpy(data.ChannelSamples.rows, data.RawSamples.rows, sizeof data.RawSamples.rows);
}

}  // namespace trelvano
