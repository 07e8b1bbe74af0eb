// "Datei" → "Exportieren" over every example flight, real recording and GPX
// test file: each export is read back with a plain XML or text reader and
// compared point by point with the flight tables.
#include "app/core/FlightExport.h"
#include "app/core/MainController.h"
#include "common/ScriptedDialogs.h"
#include "common/TestPaths.h"
#include "import/ChannelConversion.h"
#include "model/Numbers.h"
#include "model/RunError.h"

#include <QDateTime>
#include <QFileInfo>
#include <QDir>
#include <QTemporaryDir>
#include <QXmlStreamReader>
#include <gtest/gtest.h>

#include <cmath>
#include <functional>

namespace flight_export_test {

using namespace trelvano;

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
                        xml.attributes().value(QLatin1String("lon")).toDouble(),
                        NAN,
                        {}});
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
  c.startUpWithFiles(sourcePath(QStringLiteral("examples/default.par")));
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
      using Command = void (MainController::*)();
      for (Command command : std::initializer_list<Command>{&MainController::exportKml, &MainController::exportGpx,
                                                            &MainController::exportCsv})
        (c.*command)();
      ++exported;

      const std::vector<ReadPoint> fromKml = readBack(kml), fromGpx = readBack(gpx);
      EXPECT_TRUE(readBytes(kml).contains("<name>" + file.toUtf8() + "</name>"));
      ASSERT_EQ(fromKml.size(), fromGpx.size());
      ASSERT_EQ(int(fromKml.size()), d.LastPoint + 1);
      const std::vector<double> seaLevel = seaLevelAltitudes(d);
      for (int i = 0; i <= d.LastPoint; ++i) {
        const FlightPoint& p = d.FlightPath[i];
        for (const ReadPoint& r : {fromKml[i], fromGpx[i]}) {
          ASSERT_NEAR(r.lat, p.Lat, 1e-7) << i;
          ASSERT_NEAR(r.lon, p.Lon, 1e-7) << i;
          ASSERT_NEAR(r.ele, seaLevel[size_t(i)], 0.1) << i;
        }
        const bool timed = d.HasPointTimes && !std::isnan(d.PointTime[i]);
        ASSERT_EQ(fromGpx[i].time.isEmpty(), !timed) << i;
        if (timed) {
          ASSERT_EQ(QDateTime::fromString(fromGpx[i].time, Qt::ISODateWithMs).toMSecsSinceEpoch(),
                    std::llround(d.PointTime[i] * 1000))
              << i;
          if (i > 0 && file.endsWith(QLatin1String(".igc"))) {
            ASSERT_GE(fromGpx[i].time, fromGpx[i - 1].time) << i;
          }
        }
      }
      if (!file.endsWith(QLatin1String(".gpx"))) {
        EXPECT_EQ(d.HasPointTimes, file.endsWith(QLatin1String(".igc")));
      }

      const QByteArray csvBytes = readBytes(csv);
      ASSERT_TRUE(csvBytes.startsWith("\xEF\xBB\xBF"));
      const QStringList rows = QString::fromUtf8(csvBytes.mid(3)).split(QStringLiteral("\r\n"), Qt::SkipEmptyParts);
      ASSERT_EQ(rows.size(), d.LastPoint + 2);
      double elapsed = 0;
      for (int i = 0; i <= d.LastPoint; ++i) {
        const QStringList f = rows[i + 1].split(QLatin1Char(';'));
        ASSERT_EQ(f.size(), d.LoggerNG ? 5 + kChannelCount : 5) << i;
        ASSERT_NEAR(parseFloat(f.last()), seaLevel[size_t(i)], 1e-9) << i;
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

// Heights above sea level and times in the recording's days, read back by
// an independent reader; the expected values come from the files' own records.
TEST(FlightExport, HeightsAboveSeaLevelAndTheRecordedDays) {
  struct Case {
    const char* file;
    double firstEle;       // metres above sea level
    const char* lastTime;  // UTC, empty for a flight without times
  };
  const Case cases[] = {
      {"examples/rundflug.igc", 455, "2024-06-15T12:34:59Z"},  // GNSS altitude, not the pressure altitude 480
      {"examples/ng-flug.csv", 479.5, ""},                     // shown height 0 + the first sample's 4795 dm
      // The last day's clock jumps back at 09:53:55 by 1 h 22 min: the times go on by the flight's steps.
      {"tests/data/igc/crlf-multiday-flarm-backjumps-blanklines.igc", 520, "2014-07-18T10:11:33Z"},
  };
  QTemporaryDir dir;
  ScriptedDialogs dialogs;
  MainController c(dialogs);
  c.startUpWithFiles(sourcePath(QStringLiteral("examples/default.par")));
  for (const Case& t : cases) {
    SCOPED_TRACE(t.file);
    c.openByName(sourcePath(QLatin1String(t.file)));
    const QString gpx = dir.filePath(QStringLiteral("f.gpx")), kml = dir.filePath(QStringLiteral("f.kml"));
    c.exportGpx(gpx);
    c.exportKml(kml);
    const std::vector<ReadPoint> points = readBack(gpx);
    ASSERT_FALSE(points.empty());
    EXPECT_NEAR(points.front().ele, t.firstEle, 0.01);
    EXPECT_NEAR(readBack(kml).front().ele, t.firstEle, 0.05);
    EXPECT_EQ(points.back().time, QLatin1String(t.lastTime));
    for (size_t i = 1; i < points.size(); ++i) ASSERT_GE(points[i].time, points[i - 1].time) << i;
  }
}

// The export dialogs propose a name of their own in the export folder, and
// no way of writing onto the loaded recording gets through.
TEST(FlightExport, NeverOverTheRecordingNorWithoutAFlight) {
  QTemporaryDir dir;
  ScriptedDialogs dialogs;
  MainController c(dialogs);
  c.startUpWithFiles(QStringLiteral("/nonexistent/default.par"));
  const auto errorOf = [](const std::function<void()>& command) {
    try {
      command();
    } catch (const RunError& e) {
      return e.boxText();
    }
    return QString();
  };
  EXPECT_EQ(errorOf([&] { c.exportGpx(dir.filePath(QStringLiteral("leer.gpx"))); }),
            QStringLiteral("Kein Flug geladen"));
  EXPECT_FALSE(QFile::exists(dir.filePath(QStringLiteral("leer.gpx"))));

  const QString recording = dir.filePath(QStringLiteral("flug.gpx"));
  QFile::copy(sourcePath(QStringLiteral("tests/data/gpx/unit-extensions-segments.gpx")), recording);
  const QString link = dir.filePath(QStringLiteral("verweis.gpx"));
  QFile::link(recording, link);
  const QByteArray original = readBytes(recording);
  c.openByName(recording);
  QDir(dir.path()).mkdir(QStringLiteral("exporte"));
  c.state.exportFolder = dir.filePath(QStringLiteral("exporte"));
  for (const QString& target : {recording, link}) {
    dialogs.answers = {target};
    EXPECT_EQ(errorOf([&] { c.exportGpx(); }),
              QStringLiteral("Die geladene Aufzeichnung kann nicht überschrieben werden\nDatei ") +
                  QFileInfo(target).fileName());
  }
  EXPECT_EQ(readBytes(recording), original);
  EXPECT_EQ(dialogs.calls.front().initialName, dir.filePath(QStringLiteral("exporte/flug-export.gpx")));
  c.state.exportFolder = dir.filePath(QStringLiteral("exporte"));
  QDir(dir.path()).mkdir(QStringLiteral("anders"));
  dialogs.answers = {dir.filePath(QStringLiteral("anders/flug.csv"))};
  errorOf([&] { c.exportCsv(); });
  EXPECT_EQ(dialogs.calls.back().initialName, dir.filePath(QStringLiteral("exporte/flug-messwerte.csv")));
  EXPECT_EQ(c.state.exportFolder, dir.filePath(QStringLiteral("anders")));  // the next export opens there
  EXPECT_EQ(exportFileName(QStringLiteral("/x/rundflug.IGC"), QStringLiteral("kml")), QStringLiteral("rundflug.kml"));
}

}  // namespace

}  // namespace flight_export_test
