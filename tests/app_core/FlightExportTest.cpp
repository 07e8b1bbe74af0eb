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
#include <QTemporaryDir>
#include <QXmlStreamReader>
#include <gtest/gtest.h>

#include <cmath>

namespace {

struct ReadPoint {
  double lat, lon, ele;
  QString time;
};

// The trkpt elements of a GPX file, or the "lon,lat,alt" tuples of a KML file's coordinates.
std::vector<ReadPoint> readBack(const QString& path) {
  std::vector<ReadPoint> points;
  QXmlStreamReader xml(readBytes(path));
  while (!xml.atEnd()) {
    if (xml.readNext() != QXmlStreamReader::StartElement) continue;
    const QStringView name = xml.name();
    if (name == QLatin1String("trkpt"))
      points.push_back({xml.attributes().value(QLatin1String("lat")).toDouble(),
                        xml.attributes().value(QLatin1String("lon")).toDouble(), NAN, {}});
    else if (name == QLatin1String("ele"))
      points.back().ele = xml.readElementText().toDouble();
    else if (name == QLatin1String("time"))
      points.back().time = xml.readElementText();
    else if (name == QLatin1String("coordinates"))
      for (const QString& tuple : xml.readElementText().simplified().split(QLatin1Char(' '))) {
        const QStringList f = tuple.split(QLatin1Char(','));
        points.push_back({f.value(1).toDouble(), f.value(0).toDouble(), f.size() == 3 ? f[2].toDouble() : NAN, {}});
      }
  }
  EXPECT_FALSE(xml.hasError()) << xml.errorString().toStdString();
  return points;
}

TEST(FlightExport, EveryFlightReadsBackPointByPoint) {
  ScopedLocale german("de_DE");
  QTemporaryDir dir;
  ScriptedDialogs dialogs;
  MainController c(dialogs);
  c.formCreateWithoutDialog(sourcePath(QStringLiteral("examples/default.par")));
  const FlightData& d = c.data;
  int exported = 0;
  for (const char* folder : {"tests/data/igc", "tests/data/gpx", "examples"}) {
    const QDir files(sourcePath(QLatin1String(folder)));
    for (const QString& file : files.entryList({"*.igc", "*.gpx", "*.csv"}, QDir::Files)) {
      SCOPED_TRACE(file.toStdString());
      try {
        c.openByName(files.filePath(file));
      } catch (const RunError&) {
        continue;  // a recording that is meant to fail
      }
      const QString kml = dir.filePath("f.kml"), gpx = dir.filePath("f.gpx"), csv = dir.filePath("f.csv");
      dialogs.answers = {kml, gpx, csv};
      for (void (MainController::*command)() : {&MainController::ExportKml1Click, &MainController::ExportGpx1Click,
                                                 &MainController::ExportCsv1Click})
        (c.*command)();
      ++exported;

      const std::vector<ReadPoint> fromKml = readBack(kml), fromGpx = readBack(gpx);
      EXPECT_TRUE(readBytes(kml).contains("<name>" + file.toUtf8() + "</name>"));
      ASSERT_EQ(fromKml.size(), fromGpx.size());
      ASSERT_EQ(int(fromKml.size()), d.LastPoint + 1);
      for (int i = 0; i <= d.LastPoint; ++i) {
        const FlightPoint& p = d.FlightPath[i];
        for (const ReadPoint& r : {fromKml[i], fromGpx[i]}) {
          ASSERT_NEAR(r.lat, p.Lat, 1e-7) << i;
          ASSERT_NEAR(r.lon, p.Lon, 1e-7) << i;
          ASSERT_NEAR(r.ele, p.Altitude, 0.1) << i;
        }
        const bool timed = d.HasPointTimes && !std::isnan(d.PointTime[i]);
        ASSERT_EQ(fromGpx[i].time.isEmpty(), !timed) << i;
        if (timed) {
          ASSERT_EQ(QDateTime::fromString(fromGpx[i].time, Qt::ISODateWithMs).toMSecsSinceEpoch(),
                    std::llround(d.PointTime[i] * 1000)) << i;
        }
      }
      if (!file.endsWith(QLatin1String(".gpx"))) {
        EXPECT_EQ(d.HasPointTimes, file.endsWith(QLatin1String(".igc")));
      }

      const QStringList rows = QString::fromUtf8(readBytes(csv)).split(QStringLiteral("\r\n"), Qt::SkipEmptyParts);
      ASSERT_EQ(rows.size(), d.LastPoint + 2);
      double elapsed = 0;
      for (int i = 0; i <= d.LastPoint; ++i) {
        const QStringList f = rows[i + 1].split(QLatin1Char(';'));
        ASSERT_EQ(f.size(), d.LoggerNG ? 4 + kChannelCount : 4) << i;
        elapsed += i > 0 ? d.FlightPath[i].TimeStep : 0;
        const FlightPoint& p = d.FlightPath[i];
        for (const auto& [text, value] : {std::pair{f[0], elapsed}, {f[1], p.Lat}, {f[2], p.Lon}, {f[3], p.Altitude}})
          ASSERT_NEAR(parseFloat(text), value, 1e-9) << i;
        for (int k = 0; d.LoggerNG && k < kChannelCount; ++k) ASSERT_EQ(f[4 + k], ParameterToString(d, i, k)) << i;
      }
    }
  }
  EXPECT_GE(exported, 15);
}

}  // namespace
