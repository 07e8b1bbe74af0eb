#include "app/core/FlightExport.h"

#include <QColor>
#include <QFileInfo>

#include <algorithm>
#include <limits>

namespace trelvano {

double seaLevelAltitude(const FlightData& data, int32_t i) {
  const FlightPoint& p = data.FlightPath[i];
  if (data.LoggerNG) return p.Altitude + data.RawSamples[0][kColGpsAlt] * 0.1;
  if (data.HasGnssAltitudes && data.GnssAltitude[checkIndex(i, kMaxFlightPoints)] != 0) return data.GnssAltitude[i];
  return p.Altitude;
}

double seaLevelAltitude(const Flight& flight, size_t i) {
  const Fix& f = flight.fixes[i];
  if (flight.kind == FlightKind::LoggerNew) return f.Altitude + flight.samples.front()[kColGpsAlt] * 0.1;
  if (i < flight.gnssAltitude.size() && flight.gnssAltitude[i] != 0) return flight.gnssAltitude[i];
  return f.Altitude;
}

int32_t bgrColour(QRgb c) { return qBlue(c) << 16 | qGreen(c) << 8 | qRed(c); }

ExportTrack exportTrack(const FlightData& data, const QString& name) {
  ExportTrack track{name, colours::kBlue, {}};
  track.points.reserve(size_t(std::max(0, data.LastPoint + 1)));
  for (int32_t i = 0; i <= data.LastPoint; ++i) {
    const FlightPoint& p = data.FlightPath[i];
    const double utc = data.HasPointTimes ? data.PointTime[i] : std::numeric_limits<double>::quiet_NaN();
    track.points.push_back({p.Lat, p.Lon, seaLevelAltitude(data, i), utc});
  }
  return track;
}

ExportTrack exportTrack(const LoadedFlight& loaded) {
  const Flight& flight = *loaded.flight;
  ExportTrack track{QFileInfo(loaded.path).fileName(), bgrColour(loaded.colour), {}};
  track.points.reserve(flight.fixes.size());
  for (size_t i = 0; i < flight.fixes.size(); ++i) {
    const Fix& f = flight.fixes[i];
    const double utc = flight.hasClock() ? flight.utc[i] : std::numeric_limits<double>::quiet_NaN();
    track.points.push_back({f.Lat, f.Lon, seaLevelAltitude(flight, i), utc});
  }
  return track;
}

}  // namespace trelvano
