#include "import/SeaLevelAltitude.h"

#include "import/Raster.h"

#include <algorithm>

namespace trelvano {

std::vector<double> seaLevelAltitudes(const FlightData& data) {
  const int32_t last = std::min<int32_t>(std::max(data.LastPoint, 0), kMaxFlightPoints - 1);
  std::vector<double> altitude(size_t(last) + 1);
  if (data.LoggerNG) {
    const double first = data.RawSamples[0][kColGpsAlt] * 0.1;
    for (int32_t i = 0; i <= last; ++i) altitude[size_t(i)] = data.FlightPath[i].Altitude + first;
    return altitude;
  }
  std::vector<int32_t> gnss;  // the fixes with a GNSS altitude
  for (int32_t i = 0; i <= last; ++i) {
    const bool hasGnss = data.HasGnssAltitudes && data.GnssAltitude[i] != 0;
    altitude[size_t(i)] = hasGnss ? data.GnssAltitude[i] : data.FlightPath[i].Altitude;
    if (hasGnss) gnss.push_back(i);
  }
  if (data.Igc.gnssAboveEllipsoid && !gnss.empty()) {
    std::vector<double> lat, lon, height;
    for (int32_t i : gnss) {
      lat.push_back(data.FlightPath[i].Lat);
      lon.push_back(data.FlightPath[i].Lon);
      height.push_back(altitude[size_t(i)]);
    }
    if (ellipsoidToGeoid(lat.data(), lon.data(), height.data(), int(height.size())))
      for (size_t k = 0; k < gnss.size(); ++k) altitude[size_t(gnss[k])] = height[k];
  }
  return altitude;
}

}  // namespace trelvano
