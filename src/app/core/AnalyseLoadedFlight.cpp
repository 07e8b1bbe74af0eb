#include "app/core/AnalyseLoadedFlight.h"

#include "analysis/AnalyseFlight.h"

#include <algorithm>
#include <span>
#include <vector>

namespace trelvano {

namespace {

// The fixes' columns, the clock and the engine values, for `count` fixes.
template <class Point>
FlightAnalysis analyse(const Point* p, size_t n, const double* utc, const IgcExtras& igc) {
  std::vector<double> lat(n), lon(n), altitude(n), timeStep(n);
  for (size_t i = 0; i < n; ++i) {
    lat[i] = p[i].Lat, lon[i] = p[i].Lon, altitude[i] = p[i].Altitude, timeStep[i] = p[i].TimeStep;
  }
  AnalysisInput input;
  input.lat = lat, input.lon = lon, input.altitude = altitude, input.timeStep = timeStep;
  if (utc) input.utc = std::span<const double>(utc, n);
  input.enl = std::span<const int16_t>(igc.enl.data(), std::min(n, igc.enl.size()));
  input.mop = std::span<const int16_t>(igc.mop.data(), std::min(n, igc.mop.size()));
  return analyseFlight(input);
}

}  // namespace

FlightAnalysis analyseFlight(const Flight& flight) {
  const size_t n = flight.fixes.size();
  if (n == 0) return {};
  return analyse(flight.fixes.data(), n, flight.hasClock() ? flight.utc.data() : nullptr, flight.igc);
}

void analyseLoadedFlight(FlightData& data) {
  const int32_t count = data.LastPoint + 1;
  if (count <= 0 || count > kMaxFlightPoints)
    showAnalysis(data, FlightAnalysis{});
  else
    showAnalysis(
        data, analyse(data.FlightPath.data(), size_t(count), data.HasPointTimes ? data.PointTime : nullptr, data.Igc));
}

void showAnalysis(FlightData& data, FlightAnalysis analysis) {
  const uint64_t version = data.Analysis.version + 1;
  data.Analysis = std::move(analysis);
  data.Analysis.version = version;
}

}  // namespace trelvano
