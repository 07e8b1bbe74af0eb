#include "import/SeaLevelAltitude.h"

#include "import/Raster.h"

#include <algorithm>

namespace trelvano {

namespace {
// One rule for the tables and for a flight as read: point i's GNSS altitude
// where it has one (0 = none), its shown altitude otherwise; GNSS altitudes
// above the ellipsoid brought to the geoid.
template <class LatLon, class Shown, class Gnss>
std::vector<double> fromPoints(size_t n, LatLon latLon, Shown shown, Gnss gnss, bool aboveEllipsoid) {
  std::vector<double> altitude(n);
  std::vector<size_t> withGnss;
  for (size_t i = 0; i < n; ++i) {
    const double g = gnss(i);
    altitude[i] = g != 0 ? g : shown(i);
    if (g != 0) withGnss.push_back(i);
  }
  if (aboveEllipsoid && !withGnss.empty()) {
    std::vector<double> lat, lon, height;
    for (size_t i : withGnss) {
      const auto [la, lo] = latLon(i);
      lat.push_back(la);
      lon.push_back(lo);
      height.push_back(altitude[i]);
    }
    if (ellipsoidToGeoid(lat.data(), lon.data(), height.data(), int(height.size())))
      for (size_t k = 0; k < withGnss.size(); ++k) altitude[withGnss[k]] = height[k];
  }
  return altitude;
}
}  // namespace

std::vector<double> seaLevelAltitudes(const FlightData& data) {
  const int32_t last = std::min<int32_t>(std::max(data.LastPoint, 0), kMaxFlightPoints - 1);
  const size_t n = size_t(last) + 1;
  if (data.LoggerNG) {
    const double first = data.RawSamples[0][kColGpsAlt] * 0.1;
    std::vector<double> altitude(n);
    for (size_t i = 0; i < n; ++i) altitude[i] = data.FlightPath[i].Altitude + first;
    return altitude;
  }
  return fromPoints(
      n,
      [&](size_t i) {
        return std::pair{data.FlightPath[i].Lat, data.FlightPath[i].Lon};
      },
      [&](size_t i) { return data.FlightPath[i].Altitude; },
      [&](size_t i) { return data.HasGnssAltitudes ? data.GnssAltitude[i] : 0.0; }, data.Igc.gnssAboveEllipsoid);
}

std::vector<double> seaLevelAltitudes(const Flight& flight) {
  const size_t n = flight.fixes.size();
  if (flight.kind == FlightKind::LoggerNew && !flight.samples.empty()) {
    const double first = flight.samples.front()[kColGpsAlt] * 0.1;
    std::vector<double> altitude(n);
    for (size_t i = 0; i < n; ++i) altitude[i] = flight.fixes[i].Altitude + first;
    return altitude;
  }
  return fromPoints(
      n,
      [&](size_t i) {
        return std::pair{flight.fixes[i].Lat, flight.fixes[i].Lon};
      },
      [&](size_t i) { return flight.fixes[i].Altitude; },
      [&](size_t i) { return i < flight.gnssAltitude.size() ? flight.gnssAltitude[i] : 0.0; },
      flight.igc.gnssAboveEllipsoid);
}

}  // namespace trelvano
