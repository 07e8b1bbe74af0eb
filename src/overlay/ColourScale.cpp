#include "overlay/ColourScale.h"

#include "model/Numbers.h"
#include "overlay/FlightPoints.h"
#include "overlay/FlightSpeed.h"

#include <algorithm>
#include <cmath>

namespace trelvano {

namespace {

// Energy of point i, or nothing when its speed is undefined.
bool energyAt(const FlightPoint* p, int32_t i, double& energy) {
  const SegmentSpeed v = segmentSpeed(p[i - 1], p[i]);
  if (!v.defined) return false;
  energy = specificEnergy(v.air, p[i].Z);
  return std::isfinite(energy);
}

// A point whose value is undefined takes the colour of the point after it;
// the last point has none after it and takes the colour of scale step
// `lastStep` instead.
int32_t neighbourColour(const FlightPoint* p, int32_t i, int32_t last, int lastStep) {
  return i == last ? ScaleColour(lastStep) : p[i + 1].Color;
}

// Point 0 has no segment of its own; it takes the colour of point 1.
void colourFirstPoint(FlightPoint* p, int32_t last) {
  if (last >= 1)
    p[0].Color = p[1].Color;
  else if (last == 0)
    p[0].Color = ScaleColour(0);
}

}  // namespace

int32_t ScaleColour(int c) { return c + (255 - c) * 256; }

int scaleStep(double w, const ColourScale& scale) {
  if (!scale.hasWidth() || !std::isfinite(w)) return 0;
  w = std::clamp(w, scale.min, scale.max);
  const double c = (w - scale.min) * 254 / (scale.max - scale.min);
  if (!std::isfinite(c)) return 0;
  return static_cast<int>(std::clamp<int64_t>(Round(c), 0, 254));
}

ColourScale colourBySpeed(FlightData& data) {
  FlightPoint* p = flightPoints(data);
  const int32_t last = data.LastPoint;

  // The top is the highest speed after the jump filter: a rejected spike
  // counts with the last accepted speed.
  JumpFilter filter;
  ColourScale scale;
  for (int32_t i = last; i >= 1; --i) {
    const SegmentSpeed v = segmentSpeed(p[i - 1], p[i]);
    if (!v.defined) continue;
    filter.accept(v.air);
    scale.max = std::max(scale.max, filter.reference);
  }
  scale.min = 0.2 * scale.max;

  for (int32_t i = last; i >= 1; --i) {
    const SegmentSpeed v = segmentSpeed(p[i - 1], p[i]);
    p[i].Color = v.defined ? ScaleColour(scaleStep(v.air, scale)) : neighbourColour(p, i, last, 0);
  }
  colourFirstPoint(p, last);
  return scale;
}

ColourScale colourByEnergy(FlightData& data) {
  FlightPoint* p = flightPoints(data);
  const int32_t last = data.LastPoint;

  ColourScale scale;
  bool first = true;
  for (int32_t i = last; i >= 1; --i) {
    double e;
    if (!energyAt(p, i, e)) continue;
    scale.min = first ? e : std::min(scale.min, e);
    scale.max = first ? e : std::max(scale.max, e);
    first = false;
  }
  // Raise the bottom to a fifth of the top. Only a positive top allows that:
  // for a flight entirely below its origin a fifth of the top lies above the
  // top and would turn the scale upside down.
  if (scale.max > 0 && 0.2 * scale.max > scale.min) scale.min = 0.2 * scale.max;

  for (int32_t i = last; i >= 1; --i) {
    double e;
    p[i].Color = energyAt(p, i, e) ? ScaleColour(scaleStep(e, scale)) : neighbourColour(p, i, last, 0);
  }
  colourFirstPoint(p, last);
  return scale;
}

ColourScale colourByEnergyGain(FlightData& data) {
  FlightPoint* p = flightPoints(data);
  const int32_t last = data.LastPoint;

  // The change of point i is measured against the next point after it whose
  // energy is defined; the last such point has none and counts as no change.
  ColourScale scale;
  bool haveNext = false;
  double next = 0;
  for (int32_t i = last; i >= 1; --i) {
    double e;
    if (!energyAt(p, i, e)) continue;
    if (haveNext) {
      const double q = e - next;
      scale.max = std::max(scale.max, q);
      scale.min = std::min(scale.min, q);
    }
    next = e;
    haveNext = true;
  }
  if (std::abs(scale.max) > std::abs(scale.min))
    scale.min = -scale.max;
  else
    scale.max = -scale.min;

  const int noChange = scaleStep(0, scale);
  haveNext = false;
  for (int32_t i = last; i >= 1; --i) {
    double e;
    if (!energyAt(p, i, e)) {
      p[i].Color = neighbourColour(p, i, last, noChange);
      continue;
    }
    const double w = haveNext ? 2 * (e - next) : 0.0;
    p[i].Color = ScaleColour(scaleStep(w, scale));
    next = e;
    haveNext = true;
  }
  colourFirstPoint(p, last);
  return scale;
}

}  // namespace trelvano
