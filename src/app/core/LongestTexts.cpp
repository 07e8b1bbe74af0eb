#include "app/core/LongestTexts.h"

#include "import/AltitudeSource.h"
#include "model/ChannelParams.h"
#include "model/Numbers.h"
#include "overlay/Infobox.h"
#include "overlay/Replay.h"

namespace trelvano {

namespace {

// Eight digits of metres reach around the earth.
const QString kMetres = QStringLiteral("-99999999 m");

}  // namespace

SidePanels longestSidePanelTexts() {
  SidePanels p;
  p.nav[kNavEntfernung] = kMetres;
  p.nav[kNavHoehe] = kMetres;
  p.nav[kNavSpeed] = QStringLiteral("-99999999 m/s");
  p.nav[kNavVario] = climbRateText(-9999999.9);
  p.nav[kNavFlugzeit] = QStringLiteral("99999999 s");

  p.info[kInfoDauer] = durationText(99999 * 3600.0 + 59 * 60 + 59);
  p.info[kInfoHmax] = kMetres;
  p.info[kInfoVmax] = QStringLiteral("99999999 km/h");
  p.info[kInfoVmax3] = p.info[kInfoVmax];
  p.info[kInfoNS] = kMetres;
  p.info[kInfoOW] = kMetres;
  p.minHeightAboveGround = kMetres;

  // Names hold at most 15 characters; values the general format's 15 digits.
  const QString name = QStringLiteral("ABCDEFGHIJKLMNO");
  const QString value = formatGeneral(-8.88888888888888e-100);
  for (int k = 0; k < kChannelCount; ++k) {
    p.channelCaption[k] = name;
    p.channelValue[k] = value;
  }
  return p;
}

QStringList altitudeLabelTexts() {
  QStringList texts;
  texts << pressureAltitudeLabel();
  for (int channel = -1; channel < kChannelCount; ++channel) texts << altitudeLabel(channel);
  return texts;
}

}  // namespace trelvano
