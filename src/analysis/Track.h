#pragma once
// The fixes of a flight as the analysis measures them: times, positions in
// metres, heights with spikes passed over, and where the recording paused.

#include "analysis/AnalysisInput.h"

#include <cstdint>
#include <vector>

namespace trelvano {

// A step longer than this many typical steps, and longer than kMinGap
// seconds, is a pause of the recording: nothing is measured across it.
inline constexpr double kGapSteps = 4.0;
inline constexpr double kMinGap = 20.0;

struct Track {
  std::vector<double> time;        // seconds since the first fix (steps below 0 or not finite count 0)
  std::vector<double> x, y;        // metres towards east and north of the first fix, on the WGS 84 ellipsoid
  std::vector<double> altitude;    // metres, spikes passed over
  std::vector<uint8_t> gapBefore;  // 1 where the step from the fix before is a pause
  // The first and last fix of the stretch without a pause each fix lies in.
  std::vector<int32_t> pieceStart, pieceEnd;
  double interval = 0;          // seconds: the median of the steps longer than 0
  std::vector<int32_t> spikes;  // fixes whose altitude was passed over

  int32_t size() const { return int32_t(time.size()); }
};

Track makeTrack(const AnalysisInput& input);

// The fixes within `half` seconds before and after fix `i`, but at least its
// neighbours (where the fixes are farther apart), never across a pause.
struct FixWindow {
  int32_t first = 0, last = 0;
};
FixWindow fixWindow(const Track& track, int32_t i, double half);
// The same for every fix, in one sweep.
std::vector<FixWindow> fixWindows(const Track& track, double half);

}  // namespace trelvano
