#include "app/core/AnalyseLoadedFlight.h"

#include "analysis/AnalyseFlight.h"

#include <algorithm>
#include <span>
#include <vector>

namespace trelvano {

void analyseLoadedFlight(FlightData& data) {
  const uint64_t version = data.Analysis.version + 1;
  const int32_t count = data.LastPoint + 1;
  if (count <= 0 || count > kMaxFlightPoints) {
    data.Analysis = FlightAnalysis{};
  } else {
    const size_t n = size_t(count);
    std::vector<double> lat(n), lon(n), altitude(n), timeStep(n);
    const FlightPoint* const p = data.FlightPath.data();
    for (size_t i = 0; i < n; ++i) {
      lat[i] = p[i].Lat, lon[i] = p[i].Lon, altitude[i] = p[i].Altitude, timeStep[i] = p[i].TimeStep;
    }
    AnalysisInput input;
    input.lat = lat, input.lon = lon, input.altitude = altitude, input.timeStep = timeStep;
    if (data.HasPointTimes) input.utc = std::span<const double>(data.PointTime, n);
    const std::vector<int16_t>&enl = data.Igc.enl, &mop = data.Igc.mop;
    input.enl = std::span<const int16_t>(enl.data(), std::min(n, enl.size()));
    input.mop = std::span<const int16_t>(mop.data(), std::min(n, mop.size()));
    data.Analysis = analyseFlight(input);
  }
  data.Analysis.version = version;
}

}  // namespace trelvano
