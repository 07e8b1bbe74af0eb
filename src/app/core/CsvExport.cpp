#include "app/core/FlightExport.h"

#include "import/ChannelConversion.h"
#include "model/CsvField.h"
#include "model/Numbers.h"

#include <QStringList>

#include <cmath>

namespace trelvano {

namespace {
constexpr QChar kSeparator = kCsvSeparator;
}  // namespace

QByteArray csvBytes(const FlightData& data) {
  QStringList header{QStringLiteral("Zeit [s]"), QStringLiteral("Breite [°]"), QStringLiteral("Länge [°]"),
                     QStringLiteral("Höhe [m]")};
  if (data.LoggerNG)
    for (int k = 0; k < kChannelCount; ++k) header << csvField(data.ChannelParams[k].Name);
  header << QStringLiteral("Höhe über NN [m]");
  // With terrain under the flight: the height above it (empty where no elevation file covers).
  const bool aboveGround = data.HasHeightAboveGround;
  if (aboveGround) header << QStringLiteral("Höhe über Grund [m]");
  QString text = header.join(kSeparator) + QStringLiteral("\r\n");

  const std::vector<double> seaLevel = seaLevelAltitudes(data);
  double elapsed = 0;
  for (int32_t i = 0; i <= data.LastPoint; ++i) {
    const FlightPoint& p = data.FlightPath[i];
    if (i > 0) elapsed += p.TimeStep;
    text += formatGeneral(elapsed) + kSeparator + formatGeneral(p.Lat) + kSeparator + formatGeneral(p.Lon) +
            kSeparator + formatGeneral(p.Altitude);
    if (data.LoggerNG)
      for (int k = 0; k < kChannelCount; ++k) text += kSeparator + csvField(ParameterToString(data, i, k));
    text += kSeparator + formatGeneral(seaLevel[size_t(checkIndex(i, int(seaLevel.size())))]);
    if (aboveGround) {
      const double h = data.HeightAboveGround[i];
      text += kSeparator + (std::isnan(h) ? QString() : formatGeneral(roundHalfEven(h * 10) / 10));
    }
    text += QStringLiteral("\r\n");
  }
  return QByteArrayLiteral("\xEF\xBB\xBF") + text.toUtf8();
}

}  // namespace trelvano
