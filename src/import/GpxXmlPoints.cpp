#include "import/GpxPoints.h"
#include "import/LoadStagingData.h"
#include "import/TextLines.h"
#include "import/UtcTime.h"

#include <QXmlStreamReader>
#include <cmath>

namespace trelvano {

namespace {

struct GpxScan {
  QXmlStreamReader& xml;
  LoadStaging& st;
  const QString& fileName;
  int32_t points = 0;          // points of the kind in use, staged or not
  bool tracks = false;         // a track point was seen: route points no longer count
  qint64 routeOverflowLine = 0;  // the first route point beyond the capacity

  [[noreturn]] void fail(const RunError& e, qint64 line) const { throw atFileLine(e, fileName, int(line)); }
};

bool named(const QXmlStreamReader& xml, const char* name) { return xml.name() == QLatin1String(name); }

// A decimal number of the file; an empty text is none.
std::optional<double> decimal(QStringView text, bool& ok) {
  text = text.trimmed();
  ok = true;
  if (text.isEmpty()) return std::nullopt;
  const double v = text.toDouble(&ok);
  ok = ok && std::isfinite(v);
  return v;
}

double coordinate(const GpxScan& s, const QXmlStreamAttributes& attributes, const char* name, double limit,
                  qint64 line) {
  const QStringView text = attributes.value(QLatin1String(name));
  bool ok = false;
  const std::optional<double> v = decimal(text, ok);
  if (!ok || !v || !(std::fabs(*v) <= limit)) s.fail(RunError::invalidGpx(), line);
  return *v;
}

// A trkpt or rtept: its position, and ele and time among its children.
void readPoint(GpxScan& s, bool track) {
  QXmlStreamReader& xml = s.xml;
  if (track && !s.tracks) {
    s.tracks = true;  // the routes read so far give way to the tracks
    s.points = 0;
  } else if (!track && s.tracks) {
    xml.skipCurrentElement();
    return;
  }
  const qint64 line = xml.lineNumber();
  const QXmlStreamAttributes attributes = xml.attributes();
  StagedGpxPoint p{coordinate(s, attributes, "lat", 90, line), coordinate(s, attributes, "lon", 180, line), 0, kNoPointTime};
  if (s.points >= kMaxFlightPoints) {
    if (track) s.fail(RunError::tooManyPoints(kMaxFlightPoints), line);
    if (s.routeOverflowLine == 0) s.routeOverflowLine = line;
  }
  while (xml.readNextStartElement()) {
    if (named(xml, "ele")) {
      const qint64 eleLine = xml.lineNumber();
      bool ok = false;
      const std::optional<double> ele = decimal(xml.readElementText(QXmlStreamReader::SkipChildElements), ok);
      if (!ok && !xml.hasError()) s.fail(RunError::invalidGpx(), eleLine);
      p.altitude = ele.value_or(0);
    } else if (named(xml, "time")) {
      // A time that cannot be read counts as none: the point then steps 1 s.
      p.time = parseIsoTime(xml.readElementText(QXmlStreamReader::SkipChildElements)).value_or(kNoPointTime);
    } else {
      xml.skipCurrentElement();
    }
  }
  if (s.points < kMaxFlightPoints) s.st.gpxPoints[s.points] = p;
  ++s.points;
}

// Reads the children of the current element: `child` through `read`, any other skipped.
template <class Read>
void readChildren(QXmlStreamReader& xml, const char* child, Read&& read) {
  while (xml.readNextStartElement()) {
    if (named(xml, child))
      read();
    else
      xml.skipCurrentElement();
  }
}

void readDocument(GpxScan& s) {
  QXmlStreamReader& xml = s.xml;
  if (!xml.readNextStartElement()) return;
  if (!named(xml, "gpx")) {
    xml.skipCurrentElement();
    return;
  }
  while (xml.readNextStartElement()) {
    if (named(xml, "trk"))
      readChildren(xml, "trkseg", [&] { readChildren(xml, "trkpt", [&] { readPoint(s, true); }); });
    else if (named(xml, "rte"))
      readChildren(xml, "rtept", [&] { readPoint(s, false); });
    else
      xml.skipCurrentElement();
  }
}

}  // namespace

int32_t stageGpxPointsXml(LoadStaging& staging, QByteArrayView bytes, const QString& fileName) {
  QXmlStreamReader xml(QByteArray::fromRawData(bytes.data(), bytes.size()));
  GpxScan scan{xml, staging, fileName};
  readDocument(scan);
  // The rest of the file must be well-formed too.
  while (!xml.atEnd()) xml.readNext();
  if (xml.hasError()) scan.fail(RunError::invalidGpx(), xml.lineNumber());
  if (!scan.tracks && scan.routeOverflowLine != 0) scan.fail(RunError::tooManyPoints(kMaxFlightPoints), scan.routeOverflowLine);
  if (scan.points == 0) throw inFile(RunError::noFlightData(), fileName);
  return scan.points;
}

}  // namespace trelvano
