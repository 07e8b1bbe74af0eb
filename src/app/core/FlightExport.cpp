#include "app/core/FlightExport.h"

#include <QColor>
#include <QFileInfo>

#include <algorithm>
#include <limits>

namespace trelvano {

int32_t bgrColour(QRgb c) { return qBlue(c) << 16 | qGreen(c) << 8 | qRed(c); }

ExportTrack exportTrack(const FlightData& data, const QString& name) {
  ExportTrack track{name, colours::kBlue, {}};
  const std::vector<double> seaLevel = seaLevelAltitudes(data);
  track.points.reserve(seaLevel.size());
  for (int32_t i = 0; i <= data.LastPoint; ++i) {
    const FlightPoint& p = data.FlightPath[i];
    const double utc = data.HasPointTimes ? data.PointTime[i] : std::numeric_limits<double>::quiet_NaN();
    track.points.push_back({p.Lat, p.Lon, seaLevel[size_t(checkIndex(i, int(seaLevel.size())))], utc});
  }
  return track;
}

ExportTrack exportTrack(const LoadedFlight& loaded) {
  const Flight& flight = *loaded.flight;
  ExportTrack track{QFileInfo(loaded.path).fileName(), bgrColour(loaded.colour), {}};
  const std::vector<double> seaLevel = seaLevelAltitudes(flight);
  track.points.reserve(flight.fixes.size());
  for (size_t i = 0; i < flight.fixes.size(); ++i) {
    const Fix& f = flight.fixes[i];
    const double utc = flight.hasClock() ? flight.utc[i] : std::numeric_limits<double>::quiet_NaN();
    track.points.push_back({f.Lat, f.Lon, seaLevel[i], utc});
  }
  return track;
}

}  // namespace trelvano
