// trelvano-dump as a user runs it: exit codes, the JSON contract, rendering.
#include "common/BadGroundFiles.h"
#include "common/SmallFileSystem.h"
#include "common/TestPaths.h"

#include <QDir>
#include <QFileInfo>

#include <QImage>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace dump_test {

using namespace trelvano;

namespace {

struct DumpRun {
  int exitCode = -1;
  QJsonObject json;
  QByteArray err;
};

// Runs the tool as a user's shell would, without XDG_RUNTIME_DIR.
DumpRun runDump(const QStringList& args, const QString& standardOutput = {}) {
  QProcess p;
  if (!standardOutput.isEmpty()) p.setStandardOutputFile(standardOutput);
  QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
  env.remove(QStringLiteral("XDG_RUNTIME_DIR"));
  p.setProcessEnvironment(env);
  p.start(QStringLiteral(TRELVANO_DUMP), args);
  EXPECT_TRUE(p.waitForFinished(60000));
  DumpRun r;
  r.exitCode = p.exitCode();
  r.err = p.readAllStandardError();
  const QByteArray out = p.readAllStandardOutput();
  if (out.startsWith('{')) {
    QJsonParseError e;
    r.json = QJsonDocument::fromJson(out, &e).object();
    EXPECT_EQ(e.error, QJsonParseError::NoError) << e.errorString().toStdString();
  }
  return r;
}

QString example(const char* name) { return sourcePath(QStringLiteral("examples/") + QLatin1String(name)); }

}  // namespace

TEST(Dump, IgcFlightStateAndPoints) {
  const DumpRun r = runDump({example("rundflug.igc")});
  EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
  EXPECT_TRUE(r.err.isEmpty()) << r.err.toStdString();  // only its own messages
  const QJsonObject file = r.json["files"].toArray()[0].toObject();
  EXPECT_EQ(file["status"].toString(), QStringLiteral("ok"));
  const QJsonObject state = r.json["state"].toObject();
  EXPECT_EQ(state["LastPoint"].toInt(), 299);
  EXPECT_EQ(state["PlumbLast"].toInt(), 599);
  EXPECT_FALSE(state["LoggerNG"].toBool());
  EXPECT_FALSE(state["grafikVisible"].toBool());
  EXPECT_EQ(state["statusText"].toString(), example("rundflug.igc"));
  const QJsonArray points = r.json["points"].toArray();
  ASSERT_EQ(points.size(), 300);
  EXPECT_EQ(points[0].toArray().size(), 10);
  EXPECT_EQ(points[0].toArray()[8].toInt(), 0);  // Pen of the first point
  EXPECT_EQ(points[1].toArray()[8].toInt(), 1);
  EXPECT_FALSE(r.json.contains("channels"));
  EXPECT_FALSE(r.json["info"].toObject()["LabelDauer"].toString().isEmpty());
}

TEST(Dump, LoggerFlightWithParametersLocaleAndOverlay) {
  const DumpRun r =
      runDump({QStringLiteral("--par"), example("default.par"), QStringLiteral("--locale"), QStringLiteral("de_DE"),
               QStringLiteral("--baro"), QStringLiteral("--overlay"), QStringLiteral("2"), example("ng-flug.csv")});
  EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
  EXPECT_EQ(r.json["files"].toArray()[0].toObject()["path"].toString(), example("default.par"));
  EXPECT_EQ(r.json["files"].toArray()[0].toObject()["status"].toString(), QStringLiteral("ok"));
  const QJsonObject state = r.json["state"].toObject();
  EXPECT_TRUE(state["LoggerNG"].toBool());
  EXPECT_TRUE(state["grafikVisible"].toBool());
  EXPECT_EQ(state["hLabel"].toString(), QStringLiteral("Höhe: ADC16"));
  EXPECT_TRUE(state["statusText"].toString().endsWith(QStringLiteral(" (NG-Typ)")));
  const QJsonArray channels = r.json["channels"].toArray();
  ASSERT_EQ(channels.size(), state["LastPoint"].toInt() + 1);
  ASSERT_EQ(channels[0].toArray().size(), 13);
  // The airspeed channel converts with a German decimal comma somewhere in the flight.
  bool comma = false;
  for (const QJsonValue& row : channels) comma = comma || row.toArray()[6].toString().contains(QLatin1Char(','));
  EXPECT_TRUE(comma);
  EXPECT_EQ(r.json["colors"].toArray().size(), channels.size());
}

TEST(Dump, FailedAndUnopenedFilesAndTheOrigin) {
  QTemporaryDir dir;
  const QString bad = writeBytes(dir.filePath(QStringLiteral("bad.igc")), "B110135\r\n");
  const QString empty = writeBytes(dir.filePath(QStringLiteral("empty.csv")), "");
  const DumpRun r = runDump({QStringLiteral("--origin"), QStringLiteral("10"), example("rundflug.igc"), bad,
                             dir.filePath(QStringLiteral("missing.csv")), empty});
  EXPECT_EQ(r.exitCode, 1);
  const QJsonArray files = r.json["files"].toArray();
  ASSERT_EQ(files.size(), 4);
  EXPECT_EQ(files[1].toObject()["status"].toString(), QStringLiteral("error"));
  EXPECT_TRUE(files[1].toObject()["error"].toString().startsWith(QStringLiteral("Fehler bei Bereichsprüfung")));
  EXPECT_EQ(files[2].toObject()["status"].toString(), QStringLiteral("unopened"));
  EXPECT_EQ(files[3].toObject()["status"].toString(), QStringLiteral("error"));
  EXPECT_EQ(files[3].toObject()["error"].toString(), QStringLiteral("Keine Flugdaten in der Datei\nDatei empty.csv"));
  // The first flight stays, with its origin moved to point 10.
  const QJsonObject state = r.json["state"].toObject();
  EXPECT_EQ(state["LastPoint"].toInt(), 299);
  EXPECT_EQ(state["RangeStart"].toInt(), 10);
  const QJsonArray p10 = r.json["points"].toArray()[10].toArray();
  EXPECT_EQ(p10[4].toDouble(), 0.0);
  EXPECT_EQ(p10[5].toDouble(), 0.0);
}

// A parameter file that fails is reported among the files; the flights still
// load, converted with the table as it was (the defaults).
TEST(Dump, FailedParameterFileIsAFileEntry) {
  QTemporaryDir dir;
  const QString shortPar = writeBytes(dir.filePath(QStringLiteral("kurz.par")), QByteArray(623, '\0'));
  const DumpRun r = runDump({QStringLiteral("--par"), shortPar, example("ng-flug.csv")});
  EXPECT_EQ(r.exitCode, 1);
  const QJsonArray files = r.json["files"].toArray();
  ASSERT_EQ(files.size(), 2);
  EXPECT_EQ(files[0].toObject()["status"].toString(), QStringLiteral("error"));
  EXPECT_EQ(files[0].toObject()["error"].toString(),
            QStringLiteral("Versuch hinter dem Dateiende zu lesen\n") + shortPar);
  EXPECT_EQ(files[1].toObject()["status"].toString(), QStringLiteral("ok"));
  EXPECT_TRUE(r.json["state"].toObject()["LoggerNG"].toBool());

  const DumpRun missing =
      runDump({QStringLiteral("--par"), dir.filePath(QStringLiteral("fehlt.par")), example("rundflug.igc")});
  EXPECT_EQ(missing.exitCode, 1);
  EXPECT_EQ(missing.json["files"].toArray()[0].toObject()["status"].toString(), QStringLiteral("unopened"));
}

TEST(Dump, UsageErrorsAndRendering) {
  EXPECT_EQ(runDump({}).exitCode, 2);
  EXPECT_EQ(runDump({QStringLiteral("--help")}).exitCode, 0);  // prints the usage
  EXPECT_EQ(runDump({QStringLiteral("--bogus"), example("rundflug.igc")}).exitCode, 2);
  EXPECT_EQ(runDump({QStringLiteral("--layers"), QStringLiteral("Flugbahn,Wolken"), example("rundflug.igc")}).exitCode,
            2);
  EXPECT_EQ(runDump({QStringLiteral("--exaggeration"), QStringLiteral("4"), example("rundflug.igc")}).exitCode, 2);

  QTemporaryDir dir;
  const QString png = dir.filePath(QStringLiteral("view.png"));
  const DumpRun r = runDump({QStringLiteral("--render"), png, QStringLiteral("--size"), QStringLiteral("320x200"),
                             QStringLiteral("--layers"), QStringLiteral("Flugbahn"), example("rundflug.igc")});
  EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
  const QImage img(png);
  ASSERT_EQ(img.size(), QSize(320, 200));
  // Only the flight path is on: background and blue track, no grid grey.
  bool blue = false, grid = false;
  for (int y = 0; y < img.height(); ++y)
    for (int x = 0; x < img.width(); ++x) {
      blue = blue || img.pixel(x, y) == qRgb(0, 0, 255);
      grid = grid || img.pixel(x, y) == qRgb(0xF0, 0xF0, 0xF0);
    }
  EXPECT_TRUE(blue);
  EXPECT_FALSE(grid);
}

TEST(Dump, MapsLoadAfterTheFlightsEachWithItsOwnEntry) {
  QTemporaryDir dir;
  const QString bad = writeBytes(dir.filePath(QStringLiteral("kaputt.bmp")), "BM kein Bild");
  const QString missing = dir.filePath(QStringLiteral("fehlt.map"));
  const QString png = dir.filePath(QStringLiteral("karte.png"));
  const DumpRun r =
      runDump({QStringLiteral("--pixelmap"), example("karte.bmp"), QStringLiteral("--slow"),
               QStringLiteral("--vectormap"), example("karte.map"), QStringLiteral("--pixelmap"), bad,
               QStringLiteral("--vectormap"), missing, QStringLiteral("--render"), png, QStringLiteral("--layers"),
               QStringLiteral("Karte,Vektor-Karte"), example("rundflug.igc")});
  EXPECT_EQ(r.exitCode, 1);
  QStringList statuses;
  for (const QJsonValue& f : r.json["files"].toArray()) statuses << f.toObject()["status"].toString();
  EXPECT_EQ(statuses, (QStringList{"ok", "ok", "ok", "error", "unopened", "ok"}));  // the last: --render
  EXPECT_EQ(r.json["files"].toArray()[3].toObject()["error"].toString().toStdString(),
            "Bitmap ist ungültig\nDatei kaputt.bmp");

  const QJsonArray cells = r.json["mapCells"].toArray();
  ASSERT_EQ(cells.size(), 10000);
  const QJsonArray vectors = r.json["vectorMap"].toArray();
  ASSERT_EQ(vectors.size(), 156);
  ASSERT_EQ(vectors[0].toArray().size(), 7);
  EXPECT_EQ(vectors[0].toArray()[6].toInt(), 0);  // Pen: a polygon starts
  EXPECT_EQ(vectors[1].toArray()[6].toInt(), 1);

  // The slow sampling blends: some cells differ from the fast one's.
  const DumpRun fast = runDump({QStringLiteral("--pixelmap"), example("karte.bmp")});
  EXPECT_EQ(fast.exitCode, 0);
  EXPECT_FALSE(fast.json.contains("vectorMap"));
  EXPECT_NE(fast.json["mapCells"].toArray(), cells);

  // Only the maps are drawn: the river of the picture, the hangars of the vector map, no blue track.
  const QImage img(png);
  bool river = false, hangar = false, track = false;
  for (int y = 0; y < img.height(); ++y)
    for (int x = 0; x < img.width(); ++x) {
      river = river || img.pixel(x, y) == qRgb(60, 110, 200);
      hangar = hangar || img.pixel(x, y) == qRgb(190, 60, 50);
      track = track || img.pixel(x, y) == qRgb(0, 0, 255);
    }
  EXPECT_TRUE(river);
  EXPECT_TRUE(hangar);
  EXPECT_FALSE(track);
}

TEST(Dump, ParameterTableAndSavingIt) {
  QTemporaryDir dir;
  const QString saved = dir.filePath(QStringLiteral("saved.par"));
  const DumpRun r = runDump({QStringLiteral("--par"), example("default.par"), QStringLiteral("--save-par"), saved});
  EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
  const QJsonArray files = r.json["files"].toArray();
  ASSERT_EQ(files.size(), 2);  // the loaded parameter file, then the saved one
  EXPECT_EQ(files[1].toObject()["path"].toString(), saved);
  EXPECT_EQ(files[1].toObject()["status"].toString(), QStringLiteral("ok"));
  EXPECT_EQ(readBytes(saved), readBytes(example("default.par")));
  const QJsonArray params = r.json["params"].toArray();
  ASSERT_EQ(params.size(), 13);
  EXPECT_EQ(params[0].toArray(), (QJsonArray{"Baro", 500, 0.01, 1100, 2}));
  EXPECT_EQ(params[7].toArray()[0].toString(), QStringLiteral("Motor"));

  // After the loads: a save that fails is the last entry, and the run fails.
  const DumpRun bad =
      runDump({QStringLiteral("--save-par"), dir.filePath(QStringLiteral("no/such/dir.par")), example("rundflug.igc")});
  EXPECT_EQ(bad.exitCode, 1);
  const QJsonObject last = bad.json["files"].toArray().last().toObject();
  EXPECT_EQ(last["status"].toString(), QStringLiteral("error"));
  EXPECT_TRUE(last["error"].toString().startsWith(QStringLiteral("E/A-Fehler 3")))
      << last["error"].toString().toStdString();
  EXPECT_EQ(bad.json["params"].toArray()[7].toArray()[0].toString(), QStringLiteral("Frequenz"));
}

TEST(Dump, ChartOfTheLoggerFlight) {
  QTemporaryDir dir;
  const QString png = dir.filePath(QStringLiteral("chart.png"));
  const DumpRun r =
      runDump({QStringLiteral("--par"), example("default.par"), QStringLiteral("--temperature"), QStringLiteral("40"),
               QStringLiteral("--chart"), png, QStringLiteral("--chart-size"), QStringLiteral("600x200"),
               QStringLiteral("--curves"), QStringLiteral("Höhe,Air-Speed,0,1"), QStringLiteral("--scale"),
               QStringLiteral("individuell"), QStringLiteral("--wind"), QStringLiteral("30,0"),
               QStringLiteral("--range"), QStringLiteral("50,150"), QStringLiteral("--zoom"), example("ng-flug.csv")});
  EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
  EXPECT_EQ(QImage(png).size(), QSize(600, 200));
  const QJsonObject chart = r.json["chart"].toObject();
  EXPECT_EQ(chart["WindowStart"].toInt(), 50);
  EXPECT_EQ(chart["WindowEnd"].toInt(), 150);
  EXPECT_TRUE(chart["zoomEnabled"].toBool());
  EXPECT_FALSE(chart["UniformScale"].toBool());
  EXPECT_EQ(chart["Temperature"].toDouble(), 35);  // the bar's top
  EXPECT_EQ(chart["LabelTemp"].toString(), QStringLiteral("35°"));
  EXPECT_EQ(chart["LabelWindrichtung"].toString(), QStringLiteral("90°"));
  EXPECT_EQ(chart["LabelWindstaerke"].toString(), QStringLiteral("20m/s"));
  // Channel 1 is constant: disabled, and unticked by its own redraw.
  QList<bool> ticked, enabled;
  for (const QJsonValue& v : chart["ticked"].toArray()) ticked << v.toBool();
  for (const QJsonValue& v : chart["enabled"].toArray()) enabled << v.toBool();
  ASSERT_EQ(ticked.size(), 17);
  ASSERT_EQ(enabled.size(), 13);
  EXPECT_EQ(ticked.mid(0, 6), (QList<bool>{true, false, false, true, true, false}));
  EXPECT_TRUE(enabled[0]);
  EXPECT_FALSE(enabled[1]);
  EXPECT_GT(chart["ChartMax"].toDouble(), chart["ChartMin"].toDouble());
  EXPECT_EQ(r.json["state"].toObject()["Temperature"].toDouble(), 35);

  for (const QStringList& bad : {QStringList{QStringLiteral("--curves"), QStringLiteral("Höhe")},
                                 {QStringLiteral("--chart"), png, QStringLiteral("--curves"), QStringLiteral("13")},
                                 {QStringLiteral("--chart"), png, QStringLiteral("--wind"), QStringLiteral("41,0")},
                                 {QStringLiteral("--chart"), png, QStringLiteral("--scale"), QStringLiteral("log")}})
    EXPECT_EQ(runDump(bad + QStringList{example("ng-flug.csv")}).exitCode, 2) << bad.join(' ').toStdString();
}

TEST(Dump, GpxFlightAndExportsAfterTheLoads) {
  QTemporaryDir dir;
  const QString csv = dir.filePath(QStringLiteral("f.csv")), missing = dir.filePath(QStringLiteral("no/f.kml"));
  const DumpRun r = runDump({QStringLiteral("--par"), example("default.par"), QStringLiteral("--export-kml"), missing,
                             QStringLiteral("--export-csv"), csv, dataPath(QStringLiteral("gpx/route-only-gpx10.gpx")),
                             example("ng-flug.csv")});
  EXPECT_EQ(r.exitCode, 1);  // the KML had nowhere to go
  const QJsonArray files = r.json["files"].toArray();
  ASSERT_EQ(files.size(), 5);
  EXPECT_EQ(files[1].toObject()["status"].toString(), QStringLiteral("ok"));  // the GPX flight
  EXPECT_EQ(files[3].toObject()["error"].toString().section(QLatin1Char('\n'), 0, 0), QStringLiteral("E/A-Fehler 3"));
  EXPECT_EQ(files[4].toObject()["status"].toString(), QStringLiteral("ok"));
  // The logger flight's CSV: a row per point with the channel texts of "channels".
  const QJsonArray channels = r.json["channels"].toArray();
  const QStringList rows = QString::fromUtf8(readBytes(csv)).split(QStringLiteral("\r\n"), Qt::SkipEmptyParts);
  ASSERT_EQ(rows.size(), channels.size() + 1);
  for (int i = 0; i < channels.size(); ++i)
    for (int k = 0; k < 13; ++k)
      ASSERT_EQ(rows[i + 1].section(QLatin1Char(';'), 4 + k, 4 + k), channels[i][k].toString());
}

// Every file the dump writes, on a full disk: each entry says why, the old
// files stay whole, and the exit status is 1; so is JSON that cannot be written.
TEST(Dump, WritesThatFailAreErrors) {
  SmallFileSystem fs;
  if (!fs.mounted()) GTEST_SKIP() << fs.skipReason.toStdString();
  const char* const names[] = {"a.par", "a.kml", "a.gpx", "a.csv", "a.png", "b.png"};
  for (const char* name : names) writeBytes(fs.path(QLatin1String(name)), "alt");
  fs.fill();
  const DumpRun r = runDump({QStringLiteral("--save-par"), fs.path("a.par"), QStringLiteral("--export-kml"),
                             fs.path("a.kml"), QStringLiteral("--export-gpx"), fs.path("a.gpx"),
                             QStringLiteral("--export-csv"), fs.path("a.csv"), QStringLiteral("--render"),
                             fs.path("a.png"), QStringLiteral("--chart"), fs.path("b.png"), example("ng-flug.csv")});
  EXPECT_EQ(r.exitCode, 1);
  const QJsonArray files = r.json["files"].toArray();
  ASSERT_EQ(files.size(), 7);
  for (int k = 1; k < 7; ++k) {
    const QJsonObject f = files[k].toObject();
    EXPECT_EQ(f["status"].toString(), QStringLiteral("error"));
    EXPECT_EQ(f["error"].toString(), QStringLiteral("E/A-Fehler 101\nKein Speicherplatz auf dem Gerät\nDatei ") +
                                         QFileInfo(f["path"].toString()).fileName());
  }
  for (const char* name : names) EXPECT_EQ(readBytes(fs.path(QLatin1String(name))), QByteArray("alt")) << name;
}

TEST(Dump, UnwritableStandardOutputAndNoFlight) {
  if (QFile::exists(QStringLiteral("/dev/full"))) {
    const DumpRun r = runDump({example("rundflug.igc")}, QStringLiteral("/dev/full"));
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(r.err.contains("Kein Speicherplatz auf dem Ger")) << r.err.toStdString();
  }
  QTemporaryDir dir;
  const DumpRun r =
      runDump({QStringLiteral("--export-gpx"), dir.filePath(QStringLiteral("x.gpx")), dir.filePath("fehlt.igc")});
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_EQ(r.json["files"].toArray()[1].toObject()["error"].toString(), QStringLiteral("Kein Flug geladen"));
  EXPECT_FALSE(QFile::exists(dir.filePath(QStringLiteral("x.gpx"))));
}

// --dem (a folder, as the setting, and a file) and --map: the keys "terrain", "agl" and "map".
TEST(Dump, TerrainHeightsAboveGroundAndMap) {
  QTemporaryDir dir;
  QByteArray igc = "HFDTE010124\r\n";
  for (int k = 0; k < 20; ++k)
    igc += QStringLiteral("B1000%1 49%2N 005%3EA0090000900\r\n")
               .arg(k * 2, 2, 10, QLatin1Char('0'))
               .arg(42000 + 25 * k)
               .arg(52800 + 30 * k)
               .remove(QLatin1Char(' '))
               .toLatin1();
  const QString flight = writeBytes(dir.filePath(QStringLiteral("flug.igc")), igc);
  const QString bad = writeBytes(dir.filePath(QStringLiteral("N49E006.hgt")), "kein Gelände");
  const DumpRun r = runDump({QStringLiteral("--dem"), dataPath(QStringLiteral("dem")), QStringLiteral("--dem"), bad,
                             QStringLiteral("--map"), dataPath(QStringLiteral("maps/relief-utm32.tif")), flight});
  EXPECT_EQ(r.exitCode, 1);
  const QJsonArray files = r.json["files"].toArray();
  ASSERT_EQ(files.size(), 3);
  EXPECT_EQ(files[1].toObject()["error"].toString().toStdString(), "Ungültige Geländedatei\nDatei N49E006.hgt");
  EXPECT_EQ(files[2].toObject()["status"].toString(), "ok");

  const QJsonObject terrain = r.json["terrain"].toObject();
  EXPECT_EQ(terrain["tiles"].toArray(), QJsonArray({"N49E005.hgt.zip"}));
  EXPECT_EQ(terrain["missingTiles"].toArray(), QJsonArray());
  EXPECT_GT(terrain["grid"].toArray()[0].toInt(), 1);
  EXPECT_GT(terrain["minHeight"].toDouble(), 140);
  EXPECT_LT(terrain["maxHeight"].toDouble(), 600);
  const QJsonArray agl = r.json["agl"].toArray();
  ASSERT_EQ(agl.size(), 20);
  for (const QJsonValue& h : agl) EXPECT_TRUE(h.isDouble() && h.toDouble() > 300 && h.toDouble() < 800);

  const QJsonObject map = r.json["map"].toObject();
  EXPECT_EQ(map["driver"].toString(), "GTiff");
  EXPECT_EQ(map["crs"].toString(), "EPSG:32632");
  const QJsonArray bounds = map["bounds"].toArray();
  ASSERT_EQ(bounds.size(), 4);
  EXPECT_NEAR(bounds[0].toDouble(), 5.78, 0.02);
  EXPECT_NEAR(bounds[3].toDouble(), 49.78, 0.02);
}

// The same bad files as the window's commands get: the entry's error with
// the file's name, and the terrain loaded before as it was.
TEST(Dump, BadGroundFilesAreErrorsAndTheTerrainStays) {
  QTemporaryDir dir, bad;
  const QString flight = writeBytes(dir.filePath("flug.igc"), igcText(circleAround(49.70, 5.88, 0.035, 0.05, 900)));
  const QString tile = dir.filePath("N49E005.hgt.zip");
  QFile::copy(dataPath("dem/N49E005.hgt.zip"), tile);
  const DumpRun good = runDump({"--dem", tile, flight});
  ASSERT_EQ(good.exitCode, 0) << good.err.toStdString();
  const std::vector<BadGroundFile> cases = writeBadGroundFiles(bad.path());
  QStringList terrainArgs{"--dem", tile};
  for (const BadGroundFile& c : cases)
    if (c.terrain) terrainArgs << "--dem" << c.path;
  // Every elevation file in one run, each map in one of its own.
  std::vector<std::pair<QStringList, std::vector<const BadGroundFile*>>> runs{{terrainArgs << flight, {}}};
  for (const BadGroundFile& c : cases) {
    if (c.terrain)
      runs[0].second.push_back(&c);
    else
      runs.push_back({{"--dem", tile, "--map", c.path, flight}, {&c}});
  }
  for (const auto& [args, expected] : runs) {
    const DumpRun r = runDump(args);
    EXPECT_EQ(r.exitCode, 1);
    const QJsonArray files = r.json["files"].toArray();
    ASSERT_EQ(files.size(), qsizetype(2 + expected.size())) << args.join(' ').toStdString();
    for (size_t k = 0; k < expected.size(); ++k)
      EXPECT_EQ(files[qsizetype(k) + 2].toObject()["error"].toString().toStdString(),
                std::string(expected[k]->message) + "\nDatei " + QFileInfo(expected[k]->path).fileName().toStdString());
    EXPECT_EQ(r.json["terrain"], good.json["terrain"]);
    EXPECT_EQ(r.json["agl"], good.json["agl"]);
    EXPECT_FALSE(r.err.contains("Gleitkomma"));
  }
}

// A zip holding two tiles, named as the eastern one, after both tiles: each
// keeps its own heights and none is missing.
TEST(Dump, EachTileOfAnArchiveByItsOwnName) {
  QTemporaryDir dir, other;
  const Surface plane = [](double lat, double lon) { return 300 + 100 * (lat - 49) + 50 * (lon - 5); };
  const QByteArray w = readBytes(writeTile(other.path(), 49, 5, plane));
  const QByteArray e = readBytes(writeTile(other.path(), 49, 6, plane));
  const QString west = writeZip(dir.filePath("N49E005.hgt.zip"), {{"N49E005.hgt", w}});
  const QString east = writeZip(dir.filePath("N49E006.hgt.zip"), {{"N49E006.hgt", e}});
  const QString both = writeZip(other.filePath("N49E006.hgt.zip"), {{"N49E005.hgt", w}, {"N49E006.hgt", e}});
  const QString flight = writeBytes(dir.filePath("flug.igc"), igcText(circleAround(49.70, 6.0, 0.03, 0.05, 900)));
  const DumpRun tiles = runDump({"--dem", west, "--dem", east, flight});
  const DumpRun after = runDump({"--dem", west, "--dem", east, "--dem", both, flight});
  EXPECT_EQ(after.exitCode, 0) << after.err.toStdString();
  EXPECT_EQ(after.json["agl"], tiles.json["agl"]);
  EXPECT_FALSE(after.json["agl"].toArray().contains(QJsonValue()));
  EXPECT_TRUE(after.json["terrain"].toObject()["missingTiles"].toArray().isEmpty());
}

// The terrain folder, one altitude and the view: missing tiles named when
// none matches; the CSV's heights subtract to the ground; points over voids
// counted; a polar map's bounds reach the pole; 5× keeps the eye above ground.
TEST(Dump, GroundFolderAltitudeVoidsBoundsAndExaggeration) {
  QTemporaryDir dir;
  const QString denmark = writeBytes(dir.filePath("daenemark.igc"), igcText(circleAround(55.5, 10.0, 0.03, 0.05, 900)));
  DumpRun r = runDump({"--dem", dir.path(), denmark});
  EXPECT_EQ(r.json["terrain"].toObject()["missingTiles"].toArray(), QJsonArray({"N55E009", "N55E010"}));
  EXPECT_TRUE(r.json["state"].toObject()["statusText"].toString().endsWith("Geländedaten fehlen: N55E009, N55E010"));

  // GNSS altitudes 113 m above the pressure ones; a hill under the camera's eye; a void north of 49.77° N.
  const std::array<double, 2> eye = underTheEye(cameraBehindOrigin(), 49.75, 5.995);
  const Surface hill = [ground = hillAt(eye[0], eye[1])](double lat, double lon) {
    return lat > 49.77 ? NAN : ground(lat, lon);
  };
  writeTile(dir.path(), 49, 5, hill);
  const QString csv = dir.filePath("flug.csv");
  const QString over =
      writeBytes(dir.filePath("flug.igc"), igcText(circleAround(49.75, 5.95, 0.03, 0.045, 420), "GEO", false, 113));
  r = runDump({"--dem", dir.path(), "--camera", "0,0,100,0,20,2000", "--exaggeration", "5", "--export-csv", csv, over});
  const QJsonObject terrain = r.json["terrain"].toObject();
  EXPECT_GE(terrain["eyeAboveGround"].toDouble(), 50);
  const QJsonArray points = r.json["points"].toArray(), agl = r.json["agl"].toArray();
  int withoutGround = 0;
  const QStringList rows = QString::fromUtf8(readBytes(csv).mid(3)).split("\r\n", Qt::SkipEmptyParts);
  ASSERT_EQ(rows.size(), points.size() + 1);
  for (qsizetype i = 0; i < points.size(); ++i) {
    const double lat = points[i].toArray()[0].toDouble(), lon = points[i].toArray()[1].toDouble();
    const QStringList f = rows[i + 1].split(';');
    if (agl[i].isNull()) {
      ++withoutGround;
      EXPECT_GT(lat, 49.769);
      EXPECT_TRUE(f.last().isEmpty());
      continue;
    }
    EXPECT_NEAR(f[f.size() - 2].toDouble() - f.last().toDouble(), tileHeight(hill, lat, lon), 1.0) << i;
  }
  EXPECT_GT(withoutGround, 10);
  EXPECT_EQ(terrain["pointsWithoutGround"].toInt(), withoutGround);

  // A map of the northern hemisphere in a polar stereographic system: its bounds reach round the pole.
  TestRaster polar;
  polar.width = polar.height = 150;
  polar.bands = 3;
  polar.type = GDT_Byte;
  polar.gt[0] = -6e6, polar.gt[1] = 8e4, polar.gt[3] = 6e6, polar.gt[5] = -8e4;
  polar.system = "EPSG:3413";
  polar.value = [](int band, int, int) { return 50.0 * band; };
  r = runDump({"--map", writeRaster(dir.filePath("nordhalbkugel.tif"), polar), over});
  EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
  const QJsonArray bounds = r.json["map"].toObject()["bounds"].toArray();
  ASSERT_EQ(bounds.size(), 4);
  EXPECT_EQ(bounds[0].toDouble(), -180);
  EXPECT_LT(bounds[1].toDouble(), 40);
  EXPECT_EQ(bounds[2].toDouble(), 180);
  EXPECT_EQ(bounds[3].toDouble(), 90);
}

TEST(Dump, AnalysisOfARecordingWithTaskEventsAndEngine) {
  const DumpRun r =
      runDump({QStringLiteral("--analysis"), dataPath(QStringLiteral("igc/crlf-greenwich-crossing-lx8000.igc")),
               dataPath(QStringLiteral("igc/tiny-example-western-timejump.igc"))});
  EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
  const QJsonObject a = r.json["analysis"].toObject();
  // The flight loaded last: its declaration, its two PEV events, its G record.
  const QJsonArray task = a["task"].toArray();
  ASSERT_EQ(task.size(), 6);
  EXPECT_EQ(task[2].toObject()["name"].toString(), QStringLiteral("Sarnesfield, TP1"));
  EXPECT_NEAR(task[2].toObject()["lon"].toDouble(), -(2 + 55.227 / 60), 1e-9);
  const QJsonArray events = a["events"].toArray();
  ASSERT_EQ(events.size(), 2);
  EXPECT_EQ(events[0].toObject()["code"].toString(), QStringLiteral("PEV"));
  EXPECT_EQ(events[0].toObject()["time"].toDouble(), 5.0);
  EXPECT_EQ(a["security"].toString(), QStringLiteral("vorhanden"));
  const QJsonArray phases = a["phases"].toArray();
  ASSERT_FALSE(phases.isEmpty());
  EXPECT_EQ(phases.last().toObject()["to"].toInt(), r.json["points"].toArray().size() - 1);
  for (const char* key : {"thermals", "glides", "wind", "engineRuns"}) EXPECT_TRUE(a[key].isArray()) << key;
  EXPECT_TRUE(a["totals"].toObject().contains(QStringLiteral("best30sClimb")));

  const DumpRun motor =
      runDump({QStringLiteral("--analysis"), dataPath(QStringLiteral("igc/crlf-greenwich-crossing-lx8000.igc"))});
  const QJsonObject m = motor.json["analysis"].toObject();
  ASSERT_EQ(m["engineRuns"].toArray().size(), 1);  // the self-launch
  EXPECT_GT(m["thermals"].toArray().size(), 20);
  EXPECT_GT(m["wind"].toArray().size(), 50);
  const QJsonObject first = m["thermals"].toArray()[1].toObject();
  EXPECT_EQ(first["direction"].toString(), QStringLiteral("links"));
  EXPECT_TRUE(first["windSpeed"].isDouble());

  // Take-off, the climb under engine, the free flight after it, the landing;
  // each thermal with its heights, place and clock.
  const QJsonArray takeoff = m["takeoff"].toArray(), landing = m["landing"].toArray();
  ASSERT_EQ(takeoff.size(), 1);
  ASSERT_EQ(landing.size(), 1);
  EXPECT_EQ(takeoff[0].toObject()["utc"].toString(), QStringLiteral("2018-07-23T09:41:25Z"));
  EXPECT_NEAR(takeoff[0].toObject()["lat"].toDouble(), 51.871, 0.001);
  EXPECT_NEAR(m["airborneSeconds"].toDouble(), landing[0].toObject()["time"].toDouble() - 12, 1e-9);
  EXPECT_TRUE(m["launch"].toArray().isEmpty());
  const QJsonArray engine = m["engine"].toArray();
  ASSERT_EQ(engine.size(), 1);
  EXPECT_GT(engine[0].toObject()["gain"].toDouble(), 900);
  EXPECT_EQ(m["freeFlight"].toArray()[0].toObject()["from"].toInt(), engine[0].toObject()["to"].toInt() + 1);
  EXPECT_TRUE(m["spikes"].toArray().isEmpty());
  EXPECT_TRUE(m["warning"].isNull());
  for (const QJsonValue& v : m["thermals"].toArray()) {
    const QJsonObject t = v.toObject();
    EXPECT_GE(t["gain"].toDouble(), 30);
    EXPECT_GE(t["start"].toDouble(), engine[0].toObject()["end"].toDouble());  // none under engine
    EXPECT_DOUBLE_EQ(t["exitHeight"].toDouble() - t["entryHeight"].toDouble(), t["gain"].toDouble());
    EXPECT_GE(t["topHeight"].toDouble(), t["exitHeight"].toDouble());
    EXPECT_TRUE(t["utcStart"].toString().startsWith(QStringLiteral("2018-07-23T")))
        << t["utcStart"].toString().toStdString();
  }
  int counted = 0;
  for (const QJsonValue& c : m["totals"].toObject()["climbHistogram"].toArray())
    counted += c.toObject()["count"].toInt();
  EXPECT_EQ(counted, m["thermals"].toArray().size());
  // The task from the start at Leighton Buzzard to the finish at Dunstable;
  // take-off and landing are declared as placeholders.
  const QJsonObject distance = m["taskDistance"].toObject();
  EXPECT_NEAR(distance["total"].toDouble(), 451805, 1);
  EXPECT_TRUE(distance["takeoffLeg"].isNull());
  EXPECT_TRUE(distance["landingLeg"].isNull());
}

// Flights added beside the active one leave every key of its state as the
// flight loaded alone shows it; so does making an added flight the active
// one, but for the pens the renderer sets by what its camera sees (the camera
// stays where the first flight put it).
TEST(Dump, TheActiveFlightsStateIsItsOwnBesideOtherFlights) {
  const QString other = example("rundflug.igc");
  auto withoutFlightList = [](QJsonObject json, bool pens) {
    json.remove(QStringLiteral("files"));
    json.remove(QStringLiteral("flights"));
    QJsonArray points = json[QStringLiteral("points")].toArray();
    for (qsizetype i = 0; !pens && i < points.size(); ++i) {
      QJsonArray p = points[i].toArray();
      p.removeAt(8);
      points[i] = p;
    }
    json[QStringLiteral("points")] = points;
    return json;
  };
  const QStringList recordings = QDir(dataPath(QStringLiteral("igc"))).entryList({QStringLiteral("*.igc")});
  ASSERT_GE(recordings.size(), 10);
  for (const QString& name : recordings) {
    SCOPED_TRACE(name.toStdString());
    const QString path = dataPath(QStringLiteral("igc/") + name);
    const DumpRun alone = runDump({QStringLiteral("--analysis"), path});
    const DumpRun first = runDump({QStringLiteral("--analysis"), path, QStringLiteral("--add"), other});
    const DumpRun switched = runDump({QStringLiteral("--analysis"), other, QStringLiteral("--add"), path,
                                      QStringLiteral("--active"), QStringLiteral("1")});
    if (alone.exitCode != 0) {  // a recording that does not load is not added either
      EXPECT_EQ(switched.json[QStringLiteral("flights")].toArray().size(), 1);
      continue;
    }
    EXPECT_EQ(first.json[QStringLiteral("flights")].toArray().size(), 2);
    EXPECT_TRUE(withoutFlightList(first.json, true) == withoutFlightList(alone.json, true));
    EXPECT_TRUE(withoutFlightList(switched.json, false) == withoutFlightList(alone.json, false));
  }
}

TEST(Dump, FlightListAtATime) {
  const QString igc = dataPath(QStringLiteral("igc/crlf-greenwich-crossing-lx8000.igc"));
  const DumpRun r =
      runDump({example("rundflug.igc"), QStringLiteral("--add"), igc, QStringLiteral("--add"), example("ng-flug.csv"),
               QStringLiteral("--offset"), QStringLiteral("2,30"), QStringLiteral("--sync"), QStringLiteral("start"),
               QStringLiteral("--time"), QStringLiteral("100")});
  ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
  const QJsonArray flights = r.json[QStringLiteral("flights")].toArray();
  ASSERT_EQ(flights.size(), 3);
  const QJsonObject logger = flights[2].toObject();
  EXPECT_EQ(logger[QStringLiteral("name")], QStringLiteral("ng-flug.csv"));
  EXPECT_EQ(logger[QStringLiteral("offset")].toDouble(), 30);
  EXPECT_TRUE(logger[QStringLiteral("utcStart")].isNull());  // no clock
  EXPECT_TRUE(flights[0].toObject()[QStringLiteral("active")].toBool());
  EXPECT_TRUE(flights[1].toObject()[QStringLiteral("utcStart")].toString().endsWith(QLatin1Char('Z')));
  for (const auto& f : flights) {
    const QJsonObject o = f.toObject();
    EXPECT_TRUE(o[QStringLiteral("colour")].toString().startsWith(QLatin1Char('#')));
    EXPECT_TRUE(o[QStringLiteral("summary")].toObject().contains(QStringLiteral("best30sClimb")));
  }
  // 100 s on the clock: the active flight is flying, compared with itself.
  const QJsonObject at = flights[0].toObject()[QStringLiteral("at")].toObject();
  EXPECT_EQ(at[QStringLiteral("distanceToActive")].toDouble(), 0);

  EXPECT_EQ(runDump({QStringLiteral("--sync"), QStringLiteral("gestern"), igc}).exitCode, 2);
  EXPECT_EQ(runDump({QStringLiteral("--offset"), QStringLiteral("1"), igc}).exitCode, 2);
  EXPECT_EQ(runDump({QStringLiteral("--active"), QStringLiteral("5"), igc}).exitCode, 1);  // no 6th flight
}

}  // namespace dump_test
