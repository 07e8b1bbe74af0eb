// Every writer of the program on a real full file system, on a read-only
// one and onto a read-only file: each says why in German and leaves the old
// file byte for byte, with no temporary file beside it.
#include "app/core/MainController.h"
#include "common/ScriptedDialogs.h"
#include "common/SmallFileSystem.h"
#include "common/TestPaths.h"
#include "model/RunError.h"

#include <gtest/gtest.h>

#include <functional>
#include <sys/stat.h>

namespace full_disk_test {

using namespace trelvano;

namespace {

struct Writer {
  const char* file;
  void (MainController::*command)();
};

const Writer kWriters[] = {
    {"default.par", &MainController::saveParameters}, {"bild.png", &MainController::saveViewPicture},
    {"flug.kml", &MainController::exportKml},         {"flug.gpx", &MainController::exportGpx},
    {"flug.csv", &MainController::exportCsv},
};

QString errorOf(const std::function<void()>& command) {
  try {
    command();
  } catch (const RunError& e) {
    return e.boxText();
  }
  return {};
}

TEST(FullDisk, EveryWriterKeepsTheOldFileAndSaysWhy) {
  SmallFileSystem fs;
  if (!fs.mounted()) GTEST_SKIP() << fs.skipReason.toStdString();
  ScriptedDialogs dialogs;
  MainController c(dialogs);
  c.startUpWithFiles(QStringLiteral("/nonexistent/default.par"));
  c.openByName(sourcePath(QStringLiteral("examples/rundflug.igc")));
  QStringList targets;
  for (const Writer& w : kWriters) targets << writeBytes(fs.path(QLatin1String(w.file)), "alt");

  const auto tryEveryWriter = [&](const QString& code, const QString& cause) {
    for (const Writer& w : kWriters) {
      SCOPED_TRACE(w.file);
      dialogs.answers = {fs.path(QLatin1String(w.file))};
      EXPECT_EQ(errorOf([&] { (c.*w.command)(); }),
                code + QLatin1Char('\n') + cause + QStringLiteral("\nDatei ") + QLatin1String(w.file));
      EXPECT_EQ(readBytes(fs.path(QLatin1String(w.file))), QByteArray("alt"));
    }
  };

  fs.fill();
  tryEveryWriter(QStringLiteral("E/A-Fehler 101"), QStringLiteral("Kein Speicherplatz auf dem Gerät"));
  fs.unfill();
  EXPECT_EQ(fs.files().size(), targets.size()) << fs.files().join(' ').toStdString();

  ASSERT_TRUE(fs.readOnly(true));
  tryEveryWriter(QStringLiteral("E/A-Fehler 5"), QStringLiteral("Das Dateisystem ist schreibgeschützt"));
  ASSERT_TRUE(fs.readOnly(false));

  for (const QString& target : targets) ::chmod(QFile::encodeName(target).constData(), 0444);
  tryEveryWriter(QStringLiteral("E/A-Fehler 5"), QStringLiteral("Datei ist schreibgeschützt"));
  EXPECT_EQ(fs.files().size(), targets.size());
}

TEST(FullDisk, PicturesTakeTheFormatOfTheirName) {
  QTemporaryDir dir;
  ScriptedDialogs dialogs;
  MainController c(dialogs);
  const struct {
    const char* chosen;
    const char* written;
    QByteArray magic;
  } cases[] = {{"a.png", "a.png", "\x89PNG"},
               {"b.JPG", "b.JPG", "\xFF\xD8\xFF"},
               {"c.bmp", "c.bmp", "BM"},
               {"d.gif", "d.gif.png", "\x89PNG"}};
  for (const auto& t : cases) {
    dialogs.answers = {dir.filePath(QLatin1String(t.chosen))};
    c.saveViewPicture();
    EXPECT_TRUE(readBytes(dir.filePath(QLatin1String(t.written))).startsWith(t.magic)) << t.written;
  }
}

}  // namespace

}  // namespace full_disk_test
