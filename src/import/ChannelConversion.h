#pragma once
// Turning raw logger channel values into display text through the channel
// parameter table.

#include "model/FlightData.h"

#include <QString>

namespace trelvano {

// Writes the default rows (names ADC16 … Zusatz2, channel 7 "Frequenz",
// Offset 0, Koeffizient 1, Startwert 0, kind "keine").
void Parameterinit(ChannelParamTable& table);

// The converted value of one raw integer as display text (general number
// format, locale separator). `altitude` (metres) and `temperature` (°C) feed
// the temperature term of kind Höhe. Throws "Ungültige Gleitkommaoperation"
// where the formula has no real result, the range error for a Drehzahl
// coefficient outside 32 bits.
QString convertChannelValue(int32_t raw, const ChannelParam& param, double temperature, double altitude);
// The same value as a number (convertChannelValue is its general-format text).
double channelNumber(int32_t raw, const ChannelParam& param, double temperature, double altitude);

// Kind Höhe before it becomes text: the barometric height in metres, rounded
// to a whole number (halves to even). Same failures as convertChannelValue.
double barometricHeight(int32_t raw, const ChannelParam& param, double temperature, double altitude);

// ChannelSamples[sample][channel] converted by row `channel` of the table.
QString ParameterToString(const FlightData& data, long long sample, long long channel);
double channelNumberAt(const FlightData& data, long long sample, long long channel);

// Display names of the kinds: "keine", "linear", "Höhe", "Speed", "Drehzahl".
QString channelKindName(int32_t kind);

}  // namespace trelvano
