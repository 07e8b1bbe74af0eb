// "Datei" → "Exportieren" over every example flight, real recording and GPX
// test file: each export is read back with a plain XML or text reader and
// compared point by point with the flight tables.
#include "app/core/MainController.h"
#include "common/ScriptedDialogs.h"
#include "common/TestPaths.h"
#include "import/ChannelConversion.h"
#include "model/Numbers.h"
#include "model/RunError.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QXmlStreamReader>
#include <gtest/gtest.h>

#include <cmath>

namespace {

struct ReadPoint {
  double lat = 0, lon = 0, ele = 0;
  QString time;
};

// <coordinates> of a KML file: "lon,lat,alt" tuples between blanks.
std::vector<ReadPoint> readKml(const QByteArray& bytes, QString& placemarkName) {
  std::vector<ReadPoint> points;
  QXmlStreamReader xml(bytes);
  QString parent;
  while (!xml.atEnd()) {
    if (xml.readNext() != QXmlStreamReader::StartElement) continue;
    if (xml.name() == QLatin1String("Placemark")) parent = QStringLiteral("Placemark");
    if (xml.name() == QLatin1String("name") && parent == QLatin1String("Placemark")) placemarkName = xml.readElementText();
    if (xml.name() == QLatin1String("altitudeMode")) EXPECT_EQ(xml.readElementText(), QStringLiteral("absolute"));
    if (xml.name() != QLatin1String("coordinates")) continue;
    for (const QString& tuple : xml.readElementText().split(QRegularExpression(QStringLiteral("\\s+")), Qt::SkipEmptyParts)) {
      const QStringList f = tuple.split(QLatin1Char(','));
      EXPECT_EQ(f.size(), 3) << tuple.toStdString();
      if (f.size() == 3) points.push_back({f[1].toDouble(), f[0].toDouble(), f[2].toDouble(), {}});
    }
  }
  EXPECT_FALSE(xml.hasError()) << xml.errorString().toStdString();
  return points;
}

std::vector<ReadPoint> readGpx(const QByteArray& bytes) {
  std::vector<ReadPoint> points;
  QXmlStreamReader xml(bytes);
  while (!xml.atEnd()) {
    if (xml.readNext() != QXmlStreamReader::StartElement) continue;
    if (xml.name() == QLatin1String("trkpt")) {
      EXPECT_EQ(xml.namespaceUri(), QStringLiteral("http://www.topografix.com/GPX/1/1"));
      points.push_back({xml.attributes().value(QLatin1String("lat")).toDouble(),
                        xml.attributes().value(QLatin1String("lon")).toDouble(), 0, {}});
    } else if (xml.name() == QLatin1String("ele")) {
      points.back().ele = xml.readElementText().toDouble();
    } else if (xml.name() == QLatin1String("time")) {
      points.back().time = xml.readElementText();
    }
  }
  EXPECT_FALSE(xml.hasError()) << xml.errorString().toStdString();
  return points;
}

void expectSamePoints(const std::vector<ReadPoint>& read, const FlightData& d, const char* format) {
  SCOPED_TRACE(format);
  ASSERT_EQ(int(read.size()), d.LastPoint + 1);
  for (int i = 0; i <= d.LastPoint; ++i) {
    const FlightPoint& p = d.FlightPath[i];
    ASSERT_NEAR(read[i].lat, p.Lat, 1e-7) << i;
    ASSERT_NEAR(read[i].lon, p.Lon, 1e-7) << i;
    ASSERT_NEAR(read[i].ele, p.Altitude, 0.1) << i;
  }
}

QStringList flightFiles() {
  QStringList files;
  for (const char* dir : {"tests/data/igc", "tests/data/gpx", "examples"})
    for (const QString& name : QDir(sourcePath(QLatin1String(dir))).entryList({"*.igc", "*.gpx", "*.csv"}, QDir::Files))
      files << sourcePath(QLatin1String(dir) + QLatin1Char('/') + name);
  return files;
}

TEST(FlightExport, EveryFlightReadsBackPointByPoint) {
  ScopedLocale german("de_DE");
  QTemporaryDir dir;
  ScriptedDialogs dialogs;
  MainController c(dialogs);
  c.formCreateWithoutDialog(sourcePath(QStringLiteral("examples/default.par")));
  int exported = 0;
  for (const QString& file : flightFiles()) {
    SCOPED_TRACE(file.toStdString());
    try {
      c.openByName(file);
    } catch (const RunError&) {
      continue;  // the recordings that are meant to fail
    }
    const FlightData& d = c.data;
    const QString kml = dir.filePath(QStringLiteral("f.kml")), gpx = dir.filePath(QStringLiteral("f.gpx")),
                  csv = dir.filePath(QStringLiteral("f.csv"));
    dialogs.answers = {kml, gpx, csv};
    c.ExportKml1Click();
    c.ExportGpx1Click();
    c.ExportCsv1Click();
    ++exported;

    QString name;
    expectSamePoints(readKml(readBytes(kml), name), d, "KML");
    EXPECT_EQ(name, QFileInfo(file).fileName());

    const std::vector<ReadPoint> gpxPoints = readGpx(readBytes(gpx));
    expectSamePoints(gpxPoints, d, "GPX");
    for (int i = 0; i <= d.LastPoint && i < int(gpxPoints.size()); ++i) {
      const bool timed = d.HasPointTimes && !std::isnan(d.PointTime[i]);
      ASSERT_EQ(gpxPoints[i].time.isEmpty(), !timed) << i;
      if (timed)
        ASSERT_NEAR(QDateTime::fromString(gpxPoints[i].time, Qt::ISODateWithMs).toMSecsSinceEpoch() / 1000.0,
                    d.PointTime[i], 1e-3) << i;
    }
    if (file.endsWith(QLatin1String(".igc"))) EXPECT_TRUE(d.HasPointTimes);  // every recording has its date
    if (file.endsWith(QLatin1String(".csv"))) EXPECT_FALSE(d.HasPointTimes);

    const QStringList rows = QString::fromUtf8(readBytes(csv)).split(QStringLiteral("\r\n"), Qt::SkipEmptyParts);
    ASSERT_EQ(rows.size(), d.LastPoint + 2);
    const int columns = d.LoggerNG ? 4 + kChannelCount : 4;
    EXPECT_EQ(rows[0].split(QLatin1Char(';')).size(), columns);
    double elapsed = 0;
    for (int i = 0; i <= d.LastPoint; ++i) {
      const QStringList f = rows[i + 1].split(QLatin1Char(';'));
      ASSERT_EQ(f.size(), columns) << i;
      if (i > 0) elapsed += d.FlightPath[i].TimeStep;
      ASSERT_NEAR(parseFloat(f[0]), elapsed, 1e-9) << i;
      ASSERT_NEAR(parseFloat(f[1]), d.FlightPath[i].Lat, 1e-12) << i;
      ASSERT_NEAR(parseFloat(f[2]), d.FlightPath[i].Lon, 1e-12) << i;
      ASSERT_NEAR(parseFloat(f[3]), d.FlightPath[i].Altitude, 1e-9) << i;
      for (int k = 0; d.LoggerNG && k < kChannelCount; ++k) ASSERT_EQ(f[4 + k], ParameterToString(d, i, k)) << i;
    }
  }
  EXPECT_GE(exported, 15);
}

TEST(FlightExport, ExportedGpxLoadsAsTheSameFlight) {
  QTemporaryDir dir;
  ScriptedDialogs dialogs;
  MainController c(dialogs);
  ASSERT_EQ(c.openIgcFile(sourcePath(QStringLiteral("examples/rundflug.igc"))), LoadStatus::Loaded);
  const FlightDataPtr before = makeFlightData();
  const int last = c.data.LastPoint;
  std::copy(c.data.FlightPath.pts, c.data.FlightPath.pts + last + 1, before->FlightPath.pts);
  std::copy(c.data.PointTime, c.data.PointTime + last + 1, before->PointTime);
  const QString gpx = dir.filePath(QStringLiteral("rundflug.gpx"));
  c.exportGpx(gpx);
  ASSERT_EQ(c.openByName(gpx), LoadStatus::Loaded);
  ASSERT_EQ(c.data.LastPoint, last);
  for (int i = 0; i <= last; ++i) {
    ASSERT_NEAR(c.data.FlightPath[i].X, before->FlightPath[i].X, 0.02) << i;
    ASSERT_NEAR(c.data.FlightPath[i].Y, before->FlightPath[i].Y, 0.02) << i;
    ASSERT_EQ(c.data.FlightPath[i].Z, before->FlightPath[i].Z) << i;
    ASSERT_EQ(c.data.FlightPath[i].TimeStep, before->FlightPath[i].TimeStep) << i;
    ASSERT_EQ(c.data.PointTime[i], before->PointTime[i]) << i;
  }
  EXPECT_EQ(c.state.hLabel, QStringLiteral("Höhe: GPS"));
  EXPECT_EQ(c.state.statusText, gpx);
}

TEST(FlightExport, DialogOffersTheFlightsNameAndWriteErrorsShow) {
  ScriptedDialogs dialogs;
  MainController c(dialogs);
  ASSERT_EQ(c.openIgcFile(sourcePath(QStringLiteral("examples/rundflug.igc"))), LoadStatus::Loaded);
  dialogs.answers = {QString()};
  c.ExportKml1Click();  // cancelled: nothing happens
  ASSERT_EQ(dialogs.calls.size(), 1u);
  EXPECT_TRUE(dialogs.calls[0].save);
  EXPECT_EQ(dialogs.calls[0].filter, QStringLiteral("*.kml"));
  EXPECT_EQ(dialogs.calls[0].initialName, QStringLiteral("rundflug.kml"));

  const QString missing = QDir::temp().filePath(QStringLiteral("trelvano-no-such-dir/x/f.csv"));
  dialogs.answers = {missing};
  try {
    c.ExportCsv1Click();
    ADD_FAILURE() << "no error";
  } catch (const RunError& e) {
    EXPECT_EQ(e.text(), QStringLiteral("E/A-Fehler 3"));
  }
  EXPECT_FALSE(QFileInfo::exists(missing));
}

}  // namespace
