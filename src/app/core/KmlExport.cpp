#include "app/core/FlightExport.h"

#include <QXmlStreamWriter>

namespace trelvano {

namespace {
// KML colours are aabbggrr: the model's $00BBGGRR behind an opaque alpha.
QString kmlColour(int32_t bgr) { return QStringLiteral("ff%1").arg(bgr & 0xFFFFFF, 6, 16, QLatin1Char('0')); }
// "flightPath" for the first track, "flightPath2", … for the others.
QString styleId(size_t k) { return QStringLiteral("flightPath") + (k == 0 ? QString() : QString::number(k + 1)); }
}  // namespace

QByteArray kmlBytes(const std::vector<ExportTrack>& tracks, const QString& documentName) {
  QByteArray bytes;
  QXmlStreamWriter xml(&bytes);
  xml.setAutoFormatting(true);
  xml.writeStartDocument();
  xml.writeDefaultNamespace(QStringLiteral("http://www.opengis.net/kml/2.2"));
  xml.writeStartElement(QStringLiteral("kml"));
  xml.writeStartElement(QStringLiteral("Document"));
  xml.writeTextElement(QStringLiteral("name"), documentName);
  for (size_t k = 0; k < tracks.size(); ++k) {
    xml.writeStartElement(QStringLiteral("Style"));
    xml.writeAttribute(QStringLiteral("id"), styleId(k));
    xml.writeStartElement(QStringLiteral("LineStyle"));
    xml.writeTextElement(QStringLiteral("color"), kmlColour(tracks[k].colour));
    xml.writeTextElement(QStringLiteral("width"), QStringLiteral("2"));
    xml.writeEndElement();
    xml.writeEndElement();
  }
  for (size_t k = 0; k < tracks.size(); ++k) {
    QString coordinates = QStringLiteral("\n");
    for (const ExportTrack::Point& p : tracks[k].points)
      coordinates += fixedNumber(p.lon, 9) + QLatin1Char(',') + fixedNumber(p.lat, 9) + QLatin1Char(',') +
                     fixedNumber(p.seaLevel, 1) + QLatin1Char('\n');
    xml.writeStartElement(QStringLiteral("Placemark"));
    xml.writeTextElement(QStringLiteral("name"), tracks[k].name);
    xml.writeTextElement(QStringLiteral("styleUrl"), QLatin1Char('#') + styleId(k));
    xml.writeStartElement(QStringLiteral("LineString"));
    xml.writeTextElement(QStringLiteral("altitudeMode"), QStringLiteral("absolute"));
    xml.writeTextElement(QStringLiteral("coordinates"), coordinates);
    xml.writeEndElement();
    xml.writeEndElement();
  }
  xml.writeEndDocument();
  return bytes;
}

}  // namespace trelvano
