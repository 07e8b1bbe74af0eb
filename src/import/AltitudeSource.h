#pragma once
// Where the altitudes of a new-format logger flight come from: the GPS column
// (decimetres, relative to the first sample) or, with the option
// "verwende barometrische Höhe", the lowest channel of kind Höhe. Shared by
// Altitude (on the flight tables) and the logger reader (on staged samples).

#include "model/FlightData.h"

#include <QString>
#include <cstdint>

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

// Fills altitudeAt(i) (a double&) for i = 0 … last (last < kSampleRows,
// checked by the caller), first with the GPS altitudes of gpsRows, then with
// useBaro from the altitude channel of channelRows, each sample's temperature
// term using its GPS altitude. Switches useBaro off when no channel has kind
// Höhe. Returns the label for the altitude source. The rows are anything
// that rows[i] gives a SampleRow of: an array, or the two halves of a load.
template <class GpsRows, class ChannelRows, class AltitudeAt>
QString fillAltitudes(int32_t last, const GpsRows& gpsRows, const ChannelRows& channelRows,
                      const ChannelParamTable& params, double temperature, bool& useBaro, AltitudeAt&& altitudeAt) {
  for (int32_t i = 0; i <= last; ++i)
    altitudeAt(i) = gpsRelativeAltitude(gpsRows[i].v[kColGpsAlt], gpsRows[0].v[kColGpsAlt]);
  if (!useBaro) return altitudeLabel(-1);
  const int k = baroAltitudeChannel(params);
  if (k < 0) {
    useBaro = false;
    return altitudeLabel(-1);
  }
  const ChannelParam& param = params.rows[k];
  for (int32_t i = 0; i <= last; ++i)
    altitudeAt(i) = baroAltitude(channelRows[i].v[k], param, temperature, altitudeAt(i));
  return altitudeLabel(k);
}

}  // namespace trelvano
