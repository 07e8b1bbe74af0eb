#include "overlay/SidePanels.h"

namespace trelvano {

SidePanels::SidePanels() : Image2(289, 33, QImage::Format_RGB32) {
  static const char* const kCaptions[13] = {"ADC16",    "ADC0", "ADC1", "ADC2", "ADC3",  "ADC4", "Speed",
                                            "Frequenz", "RC1",  "RC2",  "RC3",  "Zus.1", "Zus.2"};
  for (QString& s : nav) s = QStringLiteral("0");
  for (QString& s : info) s = QStringLiteral("0");
  for (int k = 0; k < 13; ++k) {
    channelCaption[k] = QString::fromLatin1(kCaptions[k]);
    channelValue[k] = QStringLiteral("0");
    channelValueVisible[k] = true;
  }
  Image2.fill(Qt::white);
}

}  // namespace trelvano
