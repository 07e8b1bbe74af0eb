#include "app/core/FlightExport.h"

#include "import/UtcTime.h"

#include <QXmlStreamWriter>
#include <cmath>

namespace trelvano {

QByteArray gpxBytes(const std::vector<ExportTrack>& tracks) {
  QByteArray bytes;
  QXmlStreamWriter xml(&bytes);
  xml.setAutoFormatting(true);
  xml.writeStartDocument();
  xml.writeDefaultNamespace(QStringLiteral("http://www.topografix.com/GPX/1/1"));
  xml.writeStartElement(QStringLiteral("gpx"));
  xml.writeAttribute(QStringLiteral("version"), QStringLiteral("1.1"));
  xml.writeAttribute(QStringLiteral("creator"), QStringLiteral("Trelvano"));
  for (const ExportTrack& track : tracks) {
    xml.writeStartElement(QStringLiteral("trk"));
    xml.writeTextElement(QStringLiteral("name"), track.name);
    xml.writeStartElement(QStringLiteral("trkseg"));
    for (const ExportTrack::Point& p : track.points) {
      xml.writeStartElement(QStringLiteral("trkpt"));
      xml.writeAttribute(QStringLiteral("lat"), fixedNumber(p.lat, 9));
      xml.writeAttribute(QStringLiteral("lon"), fixedNumber(p.lon, 9));
      xml.writeTextElement(QStringLiteral("ele"), fixedNumber(p.seaLevel, 2));
      if (!std::isnan(p.utc)) xml.writeTextElement(QStringLiteral("time"), isoTimeText(p.utc));
      xml.writeEndElement();
    }
    xml.writeEndElement();
    xml.writeEndElement();
  }
  xml.writeEndDocument();
  return bytes;
}

}  // namespace trelvano
