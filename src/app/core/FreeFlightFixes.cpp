#include "app/core/FreeFlightFixes.h"

#include <algorithm>
#include <cmath>

namespace trelvano {

std::vector<std::vector<ScoreFix>> freeFlightFixes(const FlightData& data) {
  std::vector<std::vector<ScoreFix>> stretches;
  const int32_t count = std::min(data.LastPoint + 1, kMaxFlightPoints);
  if (!data.HasFlight || count <= 0) return stretches;
  std::vector<FlightSection> sections = data.Analysis.freeFlight;
  if (!data.Analysis.valid) sections = {FlightSection{0, count - 1}};
  // An altitude the analysis passed over as a spike is no altitude to hold
  // a finish against.
  std::vector<bool> spike(size_t(count), false);
  for (int32_t i : data.Analysis.spikes)
    if (i >= 0 && i < count) spike[size_t(i)] = true;
  for (const FlightSection& s : sections) {
    const int32_t from = std::max(s.from, 0), to = std::min(s.to, count - 1);
    if (from > to) continue;
    std::vector<ScoreFix>& fixes = stretches.emplace_back();
    fixes.reserve(size_t(to - from + 1));
    for (int32_t i = from; i <= to; ++i) {
      const FlightPoint& p = data.FlightPath[i];
      fixes.push_back(
          {p.Lat, p.Lon, spike[size_t(i)] ? NAN : p.Altitude, data.HasPointTimes ? data.PointTime[i] : NAN, int(i)});
    }
  }
  return stretches;
}

}  // namespace trelvano
