#include "app/core/FlightExport.h"

#include "import/UtcTime.h"

#include <QXmlStreamWriter>
#include <cmath>

namespace trelvano {

QByteArray gpxBytes(const FlightData& data, const QString& flightName) {
  QByteArray bytes;
  QXmlStreamWriter xml(&bytes);
  xml.setAutoFormatting(true);
  xml.writeStartDocument();
  xml.writeDefaultNamespace(QStringLiteral("http://www.topografix.com/GPX/1/1"));
  xml.writeStartElement(QStringLiteral("gpx"));
  xml.writeAttribute(QStringLiteral("version"), QStringLiteral("1.1"));
  xml.writeAttribute(QStringLiteral("creator"), QStringLiteral("Trelvano"));
  xml.writeStartElement(QStringLiteral("trk"));
  xml.writeTextElement(QStringLiteral("name"), flightName);
  xml.writeStartElement(QStringLiteral("trkseg"));
  const std::vector<double> seaLevel = seaLevelAltitudes(data);
  for (int32_t i = 0; i <= data.LastPoint; ++i) {
    const FlightPoint& p = data.FlightPath[i];
    xml.writeStartElement(QStringLiteral("trkpt"));
    xml.writeAttribute(QStringLiteral("lat"), fixedNumber(p.Lat, 9));
    xml.writeAttribute(QStringLiteral("lon"), fixedNumber(p.Lon, 9));
    xml.writeTextElement(QStringLiteral("ele"), fixedNumber(seaLevel[size_t(checkIndex(i, int(seaLevel.size())))], 2));
    if (data.HasPointTimes && !std::isnan(data.PointTime[i]))
      xml.writeTextElement(QStringLiteral("time"), isoTimeText(data.PointTime[i]));
    xml.writeEndElement();
  }
  xml.writeEndDocument();
  return bytes;
}

}  // namespace trelvano
