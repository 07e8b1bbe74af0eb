#pragma once
// The channel parameter table: how each of the 13 raw logger channels turns
// into a physical value.

#include "model/RunError.h"

#include <QString>
#include <array>
#include <cstdint>

namespace trelvano {

constexpr int kChannelCount = 13;

// Conversion kinds (editor column "Art").
enum ChannelKind : int32_t {
  kKindKeine = 0,     // raw integer
  kKindLinear = 1,    // (raw - Offset) * Koeffizient
  kKindHoehe = 2,     // barometric height, metres
  kKindSpeed = 3,     // airspeed from a pressure difference, m/s
  kKindDrehzahl = 4,  // revolutions per minute
};

struct ChannelParam {
  double Offset = 0;
  double Koeffizient = 1.0;
  QString Name;  // at most 15 characters (single-byte code page in the file)
  double Startwert = 0;
  int32_t Kind = kKindKeine;
};

constexpr int kParamFileSize = 624;
constexpr int kParamFileRowSize = 48;

struct ChannelParamTable {
  ChannelParam rows[kChannelCount];
  // The bytes of the parameter file last read (zero when none was read):
  // unused and insignificant bytes are written back exactly as they came.
  std::array<uint8_t, kParamFileSize> fileImage{};

  ChannelParam& operator[](long long k) { return rows[checkIndex(k, kChannelCount)]; }
  const ChannelParam& operator[](long long k) const { return rows[checkIndex(k, kChannelCount)]; }
};

// Fixed channel labels as the editor's column "Kanal" shows them:
// ADC16, AD0 … AD4, Speed, Drehzahl, RC1 … RC3, Zusatz1, Zusatz2.
QString channelLabel(int channel);
// Labels the altitude routine puts after "Höhe: " (channel 7 reads "Frequenz").
QString altitudeChannelLabel(int channel);
// Default names of Parameterinit (channel 7 is "Frequenz").
QString defaultChannelName(int channel);

constexpr int kMaxChannelNameLength = 15;
// A typed name as the table keeps it: the first 15 characters, each one that
// the parameter file's single-byte code page (Latin-1) lacks replaced by "?".
// So the table holds exactly what a save writes.
QString channelNameFromText(QStringView text);

}  // namespace trelvano
