#include "import/ChannelConversion.h"

#include "model/Numbers.h"

#include <charconv>
#include <cmath>

namespace trelvano {

namespace {

// A wider value rounded to the 15 significant digits the general format
// shows, then narrowed: narrowing first can land on the other side of a
// 15-digit rounding boundary.
double toShownDigits(long double v) {
  char buf[48];
  const auto end = std::to_chars(buf, buf + sizeof buf, v, std::chars_format::scientific, 14).ptr;
  double d = 0;
  std::from_chars(buf, end, d);
  return d;
}

}  // namespace

void Parameterinit(ChannelParamTable& table) {
  for (int k = 0; k < kChannelCount; ++k) {
    ChannelParam& p = table[k];
    p.Name = defaultChannelName(k);
    p.Offset = 0;
    p.Koeffizient = 1.0;
    p.Startwert = 0;
    p.Kind = kKindKeine;
  }
}

double barometricHeight(int32_t raw, const ChannelParam& param, double temperature, double altitude) {
  const double p = param.Startwert - raw * param.Koeffizient;  // hPa
  if (!(p >= 0)) throw RunError::invalidFloatOp();
  const double f = p == 0 ? 0.0 : std::pow(p / 1013.25, 0.1902849);
  const double t = (temperature + 273 - 0.0065 * altitude) / 0.0065;
  const double h = (1 - f) * t - param.Offset;
  return static_cast<double>(Round(h));
}

double channelNumber(int32_t raw, const ChannelParam& param, double temperature, double altitude) {
  const double r = raw;
  switch (param.Kind) {
    case kKindLinear: return checkedFinite((r - param.Offset) * param.Koeffizient);
    case kKindHoehe: return barometricHeight(raw, param, temperature, altitude);
    case kKindSpeed: {
      const double d = r - param.Offset;
      if (d < 0) return 0;
      const double product = d * param.Koeffizient;
      if (!(product >= 0)) throw RunError::invalidFloatOp();
      const double v = std::sqrt(product * 2 / 0.012555);
      return static_cast<double>(Round(v * 10)) / 10;
    }
    case kKindDrehzahl: {
      const long double q = raw == 0 ? 1.0L : raw;
      int32_t n = RoundToInt32(param.Koeffizient);
      if (n == 0) n = 1;
      // The clock constant has more digits than a double holds; in double the
      // 15th shown digit comes out one low (raw 1: 22505626.4066016 instead of
      // 22505626.4066017).
      return toShownDigits(375093.77344336084L / q * 60 / n);
    }
    case kKindKeine: return r;
    default: return 0;
  }
}

QString convertChannelValue(int32_t raw, const ChannelParam& param, double temperature, double altitude) {
  if (param.Kind == kKindKeine) return QString::number(raw);
  return formatGeneral(channelNumber(raw, param, temperature, altitude));
}

double channelNumberAt(const FlightData& data, long long sample, long long channel) {
  const int32_t raw = data.ChannelSamples[sample][checkIndex(channel, kChannelCount)];
  const ChannelParam& param = data.ChannelParams[channel];
  const double altitude = param.Kind == kKindHoehe ? data.FlightPath[sample].Altitude : 0.0;
  return channelNumber(raw, param, data.Temperature, altitude);
}

QString ParameterToString(const FlightData& data, long long sample, long long channel) {
  const int32_t raw = data.ChannelSamples[sample][checkIndex(channel, kChannelCount)];
  const ChannelParam& param = data.ChannelParams[channel];
  const double altitude = param.Kind == kKindHoehe ? data.FlightPath[sample].Altitude : 0.0;
  return convertChannelValue(raw, param, data.Temperature, altitude);
}

QString channelKindName(int32_t kind) {
  switch (kind) {
    case kKindKeine: return QStringLiteral("keine");
    case kKindLinear: return QStringLiteral("linear");
    case kKindHoehe: return QStringLiteral("Höhe");
    case kKindSpeed: return QStringLiteral("Speed");
    case kKindDrehzahl: return QStringLiteral("Drehzahl");
    default: return QString::number(kind);
  }
}

}  // namespace trelvano
