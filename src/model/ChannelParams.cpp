#include "model/ChannelParams.h"

#include <QList>

namespace trelvano {

namespace {
const char* const kLabels[kChannelCount] = {"ADC16",    "AD0", "AD1", "AD2", "AD3",     "AD4",    "Speed",
                                            "Drehzahl", "RC1", "RC2", "RC3", "Zusatz1", "Zusatz2"};
const char* const kNames[kChannelCount] = {"ADC16",    "AD0", "AD1", "AD2", "AD3",     "AD4",    "Speed",
                                           "Frequenz", "RC1", "RC2", "RC3", "Zusatz1", "Zusatz2"};
}  // namespace

QString channelLabel(int channel) { return QString::fromLatin1(kLabels[checkIndex(channel, kChannelCount)]); }
QString altitudeChannelLabel(int channel) { return QString::fromLatin1(kNames[checkIndex(channel, kChannelCount)]); }
QString defaultChannelName(int channel) { return QString::fromLatin1(kNames[checkIndex(channel, kChannelCount)]); }

QString channelNameFromText(QStringView text) {
  // Composed form first, so "u" with a combining diaeresis is one "ü".
  const QString composed = text.toString().normalized(QString::NormalizationForm_C);
  QString name;
  for (const char32_t c : composed.toUcs4()) {
    if (name.size() == kMaxChannelNameLength) break;
    name += c <= 0xFF ? QChar(static_cast<char16_t>(c)) : QLatin1Char('?');
  }
  return name;
}

}  // namespace trelvano
