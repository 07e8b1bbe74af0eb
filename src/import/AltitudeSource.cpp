#include "import/AltitudeSource.h"

#include "import/ChannelConversion.h"
#include "import/TextLines.h"
#include "model/Numbers.h"

#include <cmath>
#include <utility>

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

std::vector<double> gpsAltitudes(std::span<const SampleRow> samples) {
  std::vector<double> altitudes(samples.size());
  for (size_t i = 0; i < samples.size(); ++i)
    altitudes[i] = gpsRelativeAltitude(samples[i].v[kColGpsAlt], samples[0].v[kColGpsAlt]);
  return altitudes;
}

LoggerAltitudes loggerAltitudes(std::span<const SampleRow> samples, const ChannelParamTable& params, double temperature,
                                bool useBaro) {
  LoggerAltitudes result{gpsAltitudes(samples), altitudeLabel(-1), false};
  const int k = useBaro ? baroAltitudeChannel(params) : -1;
  if (k < 0) return result;
  const ChannelParam& param = params.rows[k];
  for (size_t i = 0; i < samples.size(); ++i)
    result.altitudes[i] = baroAltitude(samples[i].v[k], param, temperature, result.altitudes[i]);
  result.label = altitudeLabel(k);
  result.baro = true;
  return result;
}

Flight withAltitudeSource(Flight flight, const ChannelParamTable& params, double temperature, bool useBaro) {
  if (flight.kind != FlightKind::LoggerNew) return flight;
  // The reader gives the GPS altitudes: without the barometric source they stay.
  if (!flight.baroAltitudes && (!useBaro || baroAltitudeChannel(params) < 0)) return flight;
  LoggerAltitudes source;
  try {
    source = loggerAltitudes(flight.samples, params, temperature, useBaro);
  } catch (const RunError& e) {
    throw inFile(e, flight.fileName);
  }
  for (size_t i = 0; i < flight.fixes.size(); ++i) flight.fixes[i].Altitude = source.altitudes[i];
  flight.altitudeLabel = std::move(source.label);
  flight.baroAltitudes = source.baro;
  return flight;
}

}  // namespace trelvano
