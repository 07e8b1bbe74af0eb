#include "overlay/Infobox.h"

#include "model/Numbers.h"
#include "overlay/FlightPoints.h"
#include "overlay/FlightSpeed.h"

#include <algorithm>
#include <cmath>

namespace trelvano {

namespace {

QString withUnit(double value, const char* unit) { return QString::number(Round(value)) + QLatin1String(unit); }

}  // namespace

QString durationText(double seconds) {
  const int64_t s = Round(seconds);
  QString text;
  if (s >= 3600) text = QString::number(s / 3600) + QLatin1String(" h ");
  const int64_t r = s % 3600;
  text += QString::number(r / 60) + QLatin1String(" min ") + QString::number(r % 60) + QLatin1String(" s");
  return text;
}

void Infobox(const FlightData& data, SidePanels& panels) {
  const int32_t last = data.LastPoint;
  const FlightPoint* p = flightPoints(data);

  // Top speeds, walking backwards so that the last fix is the first reference.
  // A point without a defined speed takes no part; a rejected jump counts as 0.
  double maxGround = 0;
  double maxAir = 0;
  JumpFilter filter;
  for (int32_t i = last; i >= 1; --i) {
    const SegmentSpeed v = segmentSpeed(p[i - 1], p[i]);
    if (!v.defined || !filter.accept(v.air)) continue;
    maxGround = std::max(maxGround, v.ground);
    maxAir = std::max(maxAir, v.air);
  }

  // Extents and duration; with no fix at all point 0 stands alone.
  double minX = p[0].X, maxX = p[0].X;
  double minY = p[0].Y, maxY = p[0].Y;
  double minZ = p[0].Z, maxZ = p[0].Z;
  double total = 0;
  for (int32_t i = 1; i <= last; ++i) {
    minX = std::min(minX, p[i].X), maxX = std::max(maxX, p[i].X);
    minY = std::min(minY, p[i].Y), maxY = std::max(maxY, p[i].Y);
    minZ = std::min(minZ, p[i].Z), maxZ = std::max(maxZ, p[i].Z);
    total += p[i].TimeStep;
  }

  panels.info[kInfoDauer] = durationText(total);
  panels.info[kInfoHmax] = withUnit(maxZ - minZ, " m");
  panels.info[kInfoVmax] = withUnit(maxGround * 3.6, " km/h");
  panels.info[kInfoVmax3] = withUnit(maxAir * 3.6, " km/h");
  panels.info[kInfoNS] = withUnit(maxY - minY, " m");
  panels.info[kInfoOW] = withUnit(maxX - minX, " m");

  bool aboveGround = false;
  double lowest = 0;
  for (int32_t i = 0; data.HasHeightAboveGround && i <= last; ++i) {
    const double h = data.HeightAboveGround[i];
    if (std::isnan(h)) continue;
    lowest = aboveGround ? std::min(lowest, h) : h;
    aboveGround = true;
  }
  panels.minHeightAboveGround = aboveGround ? withUnit(lowest, " m") : QString();
}

}  // namespace trelvano
