// A file named on the command line or dropped on the window is opened by what
// its bytes say it is, and by its name only where they say nothing: an empty,
// cut-short or wrong file gets the message its menu command gives, however
// it is named.
#include "WindowFixture.h"
#include "common/TestPaths.h"

#include <QApplication>
#include <QDropEvent>
#include <QFile>
#include <QMimeData>
#include <QTemporaryDir>
#include <QUrl>

namespace named_files_test {

using namespace trelvano;

namespace {

struct Kind {
  const char* menuItem;  // the command a user would choose for such a file
  const char* suffix;
  QString source;  // a good file of the kind, cut short for a row
  int cut;         // bytes kept of it: enough for its first bytes to say what it is
  // An empty or wrong ".tif" says nothing of being a map: it is the elevation kind's.
  bool onlyCutShort = false;
};

struct Row {
  const char* menuItem;
  QString name;
  QByteArray bytes;
};

QString example(const char* name) { return sourcePath(QStringLiteral("examples/") + QLatin1String(name)); }

// The message of the last command, "" when it loaded.
QString lastError(Window& w, qsizetype errorsBefore) {
  return w.errors.size() > errorsBefore ? w.errors.last() : QString();
}

QString menuError(Window& w, const char* item, const QString& path) {
  const qsizetype before = w.errors.size();
  w.dialogs->answers.push_back(path);
  w.item(item)->trigger();
  return lastError(w, before);
}

QString namedError(Window& w, const QString& path) {
  const qsizetype before = w.errors.size();
  w.form->openFiles({path});
  return lastError(w, before);
}

QString droppedError(Window& w, const QString& path) {
  const qsizetype before = w.errors.size();
  QMimeData mime;
  mime.setUrls({QUrl::fromLocalFile(path)});
  QDragEnterEvent enter(QPoint(300, 200), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(w.form.get(), &enter);
  QDropEvent drop(QPointF(300, 200), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(w.form.get(), &drop);
  return lastError(w, before);
}

TEST(NamedFiles, BrokenFilesGetTheMessageOfTheirMenuCommand) {
  QTemporaryDir dir;
  const Kind kinds[] = {
      {"igcffnen1", "igc", example("rundflug.igc"), 250},
      {"gpxffnen1", "gpx", dataPath("gpx/unit-extensions-segments.gpx"), 400},
      {"Darstellung1", "csv", example("ng-flug.csv"), 30},
      {"laden1", "par", example("default.par"), 100},
      {"Karteladen1", "bmp", example("karte.bmp"), 200},
      {"Gelaendeladen1", "hgt", {}, 0},
      {"Gelaendeladen1", "hgt.zip", dataPath("dem/N49E005.hgt.zip"), 3000},
      {"Gelaendeladen1", "tif", dataPath("dem/ardennes-int16.tif"), 600},
      {"GeoKarteladen1", "tif", dataPath("maps/relief-utm32.tif"), 3000, true},
      {"GeoKarteladen1", "png", dataPath("maps/relief.png"), 2000},
      {"GeoKarteladen1", "mbtiles", dataPath("maps/relief.mbtiles"), 4096},
  };
  std::vector<Row> rows;
  int n = 0;
  for (const Kind& k : kinds) {
    const QString stem = QStringLiteral("k%1-").arg(n++);
    const QByteArray cut = k.source.isEmpty() ? QByteArray(5000, '\1') : readBytes(k.source).left(k.cut);
    for (const auto& [variant, bytes] : {std::pair{"leer", QByteArray()}, std::pair{"kurz", cut},
                                         std::pair{"falsch", QByteArray("kein Inhalt dieser Art\n")}}) {
      if (k.onlyCutShort && bytes != cut) continue;
      rows.push_back({k.menuItem, stem + QLatin1String(variant) + QLatin1Char('.') + QLatin1String(k.suffix), bytes});
      // A map picture keeps its world file beside it.
      if (QLatin1String(k.suffix) == QLatin1String("png"))
        writeBytes(dir.filePath(stem + QLatin1String(variant) + QStringLiteral(".pgw")),
                   readBytes(dataPath("maps/relief.pgw")));
    }
  }
  // Named for something else: the bytes decide.
  const QByteArray tiffCut = readBytes(dataPath("dem/ardennes-int16.tif")).left(600);
  rows.push_back({"Gelaendeladen1", QStringLiteral("hoehe.csv"), tiffCut});
  rows.push_back({"Gelaendeladen1", QStringLiteral("hoehe.png"), tiffCut});
  rows.push_back(
      {"Gelaendeladen1", QStringLiteral("kachel.csv"), readBytes(dataPath("dem/N49E005.hgt.zip")).left(3000)});
  rows.push_back(
      {"GeoKarteladen1", QStringLiteral("karte.igc"), readBytes(dataPath("maps/relief.mbtiles")).left(4096)});
  rows.push_back({"igcffnen1", QStringLiteral("flug.txt"), readBytes(example("rundflug.igc")).left(250)});
  rows.push_back(
      {"gpxffnen1", QStringLiteral("flug.xml"), readBytes(dataPath("gpx/phone-prefixed-crlf-zones.gpx")).left(300)});

  Window w;
  w.form->show();
  w.form->openFiles({example("rundflug.igc")});
  ASSERT_TRUE(w.errors.isEmpty());
  for (const Row& r : rows) {
    const QString path = writeBytes(dir.filePath(r.name), r.bytes);
    const std::string menu = menuError(w, r.menuItem, path).toStdString();
    EXPECT_FALSE(menu.empty()) << r.name.toStdString();
    EXPECT_EQ(namedError(w, path).toStdString(), menu);
    EXPECT_EQ(droppedError(w, path).toStdString(), menu);
  }
  EXPECT_EQ(namedError(w, dir.filePath(QStringLiteral("k7-leer.tif"))).toStdString(),
            "Ungültige Geländedatei\nDatei k7-leer.tif");
  EXPECT_EQ(w.form->core().data.LastPoint, 299);  // the flight stayed through it all
}

}  // namespace

}  // namespace named_files_test
