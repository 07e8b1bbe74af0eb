#include "analysis/Spikes.h"

#include <cmath>

namespace trelvano {

std::vector<int32_t> passOverSpikes(const std::vector<double>& t, std::vector<double>& h) {
  std::vector<int32_t> spikes;
  const size_t n = std::min(t.size(), h.size());
  for (size_t i = 1; i < n; ++i) {
    const size_t before = i - 1;
    const double jump = h[i] - h[before];
    if (std::abs(jump) < kSpikeHeight || std::abs(jump) <= kSpikeClimb * (t[i] - t[before])) continue;
    for (size_t j = i + 1; j < n && t[j] - t[i] <= kSpikeSpan; ++j) {
      const double back = std::abs(h[j] - h[before]);
      if (back >= std::abs(jump) / 2 || back > kSpikeHeight + kPlausibleClimb * (t[j] - t[before])) continue;
      // Fixes i … j − 1 are the spike: the straight line from before it to after it.
      const double span = t[j] - t[before];
      for (size_t k = i; k < j; ++k) {
        const double f = span > 0 ? (t[k] - t[before]) / span : 0.5;
        h[k] = h[before] + f * (h[j] - h[before]);
        spikes.push_back(int32_t(k));
      }
      i = j;
      break;
    }
  }
  return spikes;
}

}  // namespace trelvano
