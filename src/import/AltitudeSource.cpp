#include "import/AltitudeSource.h"

#include "import/ChannelConversion.h"
#include "model/Numbers.h"

#include <cmath>

namespace trelvano {

int baroAltitudeChannel(const ChannelParamTable& params) {
  for (int k = 0; k < kChannelCount; ++k)
    if (params.rows[k].Kind == kKindHoehe) return k;
  return -1;
}

QString altitudeLabel(int channel) {
  if (channel < 0) return QStringLiteral("Höhe: GPS");
  return QStringLiteral("Höhe: ") + altitudeChannelLabel(channel);
}

QString pressureAltitudeLabel() { return QStringLiteral("Höhe: Luftdruck"); }

double baroAltitude(int32_t raw, const ChannelParam& param, double temperature, double gpsAltitude) {
  const double h = barometricHeight(raw, param, temperature, gpsAltitude);
  // Below 1e15 the display text holds every digit of the whole number, so
  // reading it back gives h itself; only larger values lose digits in the text.
  if (std::fabs(h) < 1e15) return h;
  return parseFloat(formatGeneral(h));
}

}  // namespace trelvano
