#include "overlay/PhaseColours.h"

#include <algorithm>

namespace trelvano {

namespace {

int32_t colourOf(PhaseKind kind) {
  switch (kind) {
    case PhaseKind::Circling: return kCirclingColour;
    case PhaseKind::Ground: return kGroundColour;
    case PhaseKind::Launch: return kLaunchColour;
    case PhaseKind::Engine: return kEngineColour;
    case PhaseKind::Gliding: break;
  }
  return kGlidingColour;
}

}  // namespace

void colourByPhases(FlightData& data) {
  const int32_t last = data.LastPoint;
  FlightPoint* const p = data.FlightPath.data();
  for (int32_t i = 0; i <= last; ++i) p[i].Color = kGlidingColour;
  for (const FlightPhase& ph : data.Analysis.phases)
    for (int32_t i = std::max(ph.from, 0); i <= std::min(ph.to, last); ++i) p[i].Color = colourOf(ph.kind);
  for (const EngineRun& r : data.Analysis.engineRuns)
    for (int32_t i = std::max(r.from, 0); i <= std::min(r.to, last); ++i) p[i].Color = kEngineColour;
}

}  // namespace trelvano
