#pragma once
// Where the altitudes of a new-format logger flight come from: the GPS column
// (decimetres, relative to the first sample) or, with the option
// "verwende barometrische Höhe", the lowest channel of kind Höhe.

#include "model/ChannelParams.h"
#include "model/Flight.h"

#include <QString>
#include <cstdint>
#include <span>
#include <vector>

namespace trelvano {

// The altitude channel: the lowest of kind Höhe, or -1 when there is none.
int baroAltitudeChannel(const ChannelParamTable& params);

// "Höhe: GPS" for channel -1, else "Höhe: " and the channel's label ("Höhe: AD2", "Höhe: Frequenz").
QString altitudeLabel(int channel);
// "Höhe: Luftdruck": an IGC flight with the recorder's pressure altitudes.
QString pressureAltitudeLabel();

// (gpsDm − firstDm) × 0.1 metres; the difference is overflow-checked ("Integerüberlauf").
inline double gpsRelativeAltitude(int32_t gpsDm, int32_t firstDm) {
  int32_t diff;
  if (__builtin_sub_overflow(gpsDm, firstDm, &diff)) throw RunError::intOverflow();
  return diff * 0.1;
}

// The barometric altitude of one raw sample, as the channel's display text reads back.
double baroAltitude(int32_t raw, const ChannelParam& param, double temperature, double gpsAltitude);

// The GPS altitude of each sample, relative to the first.
std::vector<double> gpsAltitudes(std::span<const SampleRow> samples);

struct LoggerAltitudes {
  std::vector<double> altitudes;  // metres, one per sample
  QString label;                  // "Höhe: GPS", "Höhe: AD2", …
  bool baro = false;              // from the altitude channel; false also where no channel has kind Höhe
};

// The altitudes of new-format samples: the GPS altitudes, or with `useBaro`
// those of the altitude channel, each sample's temperature term using its
// GPS altitude. A conversion that fails throws (the range error,
// "Ungültige Gleitkommaoperation", …).
LoggerAltitudes loggerAltitudes(std::span<const SampleRow> samples, const ChannelParamTable& params, double temperature,
                                bool useBaro);

// `flight` with the altitudes of the source the settings choose: a new-format
// logger flight takes those of loggerAltitudes (label and baroAltitudes with
// them), every other flight stays as it is. A conversion that fails throws
// with "Datei <name>" as detail.
Flight withAltitudeSource(Flight flight, const ChannelParamTable& params, double temperature, bool useBaro);

}  // namespace trelvano
