#include "app/core/FlightExport.h"

#include <QXmlStreamWriter>

namespace trelvano {

namespace {
// KML colours are aabbggrr: the model's $00BBGGRR behind an opaque alpha.
QString kmlColour(int32_t bgr) { return QStringLiteral("ff%1").arg(bgr & 0xFFFFFF, 6, 16, QLatin1Char('0')); }
}  // namespace

QByteArray kmlBytes(const FlightData& data, const QString& flightName) {
  QString coordinates = QStringLiteral("\n");
  const std::vector<double> seaLevel = seaLevelAltitudes(data);
  for (int32_t i = 0; i <= data.LastPoint; ++i) {
    const FlightPoint& p = data.FlightPath[i];
    coordinates += fixedNumber(p.Lon, 9) + QLatin1Char(',') + fixedNumber(p.Lat, 9) + QLatin1Char(',') +
                   fixedNumber(seaLevel[size_t(checkIndex(i, int(seaLevel.size())))], 1) + QLatin1Char('\n');
  }

  QByteArray bytes;
  QXmlStreamWriter xml(&bytes);
  xml.setAutoFormatting(true);
  xml.writeStartDocument();
  xml.writeDefaultNamespace(QStringLiteral("http://www.opengis.net/kml/2.2"));
  xml.writeStartElement(QStringLiteral("kml"));
  xml.writeStartElement(QStringLiteral("Document"));
  xml.writeTextElement(QStringLiteral("name"), flightName);
  xml.writeStartElement(QStringLiteral("Style"));
  xml.writeAttribute(QStringLiteral("id"), QStringLiteral("flightPath"));
  xml.writeStartElement(QStringLiteral("LineStyle"));
  xml.writeTextElement(QStringLiteral("color"), kmlColour(colours::kBlue));
  xml.writeTextElement(QStringLiteral("width"), QStringLiteral("2"));
  xml.writeEndElement();
  xml.writeEndElement();
  xml.writeStartElement(QStringLiteral("Placemark"));
  xml.writeTextElement(QStringLiteral("name"), flightName);
  xml.writeTextElement(QStringLiteral("styleUrl"), QStringLiteral("#flightPath"));
  xml.writeStartElement(QStringLiteral("LineString"));
  xml.writeTextElement(QStringLiteral("altitudeMode"), QStringLiteral("absolute"));
  xml.writeTextElement(QStringLiteral("coordinates"), coordinates);
  xml.writeEndDocument();
  return bytes;
}

}  // namespace trelvano
