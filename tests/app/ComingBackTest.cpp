#include "WindowFixture.h"
#include "common/TestPaths.h"

#include <QDir>
#include <QFile>
#include <QLabel>
#include <QMenu>
#include <QSettings>
#include <QTemporaryDir>

namespace coming_back_test {

using namespace trelvano;

// Two runs on one scratch settings file: the second lists the flights the
// first loaded and opens at its size; a listed file that is gone leaves.
TEST(ComingBack, FlightsAndWindowSizeReachTheNextRun) {
  QTemporaryDir dir;
  const QString igc = dir.filePath(QStringLiteral("rundflug.igc"));
  ASSERT_TRUE(QFile::copy(sourcePath(QStringLiteral("examples/rundflug.igc")), igc));
  const QString csv = sourcePath(QStringLiteral("examples/ng-flug.csv"));
  QSettings settings(dir.filePath(QStringLiteral("Trelvano.conf")), QSettings::IniFormat);
  Window first, second;
  first.form->keepBetweenRuns(&settings);
  first.dialogs->answers = {csv, igc};
  first.item("Darstellung1")->trigger();
  first.item("igcffnen1")->trigger();
  first.form->resize(1000, 700);
  first.form->close();

  second.form->keepBetweenRuns(&settings);
  EXPECT_EQ(second.form->size(), QSize(1000, 700));
  auto* menu = second.form->findChild<QMenu*>(QStringLiteral("ZuletztGeoeffnet1"));
  emit menu->aboutToShow();
  ASSERT_EQ(menu->actions().size(), 2);
  EXPECT_EQ(menu->actions()[0]->text(), "&1 " + igc);
  ASSERT_TRUE(QFile::remove(igc));
  menu->actions()[0]->trigger();
  EXPECT_EQ(second.errors, QStringList{"Datei nicht gefunden\nDatei rundflug.igc"});
  EXPECT_EQ(settings.value("recentFiles").toStringList(), QStringList{csv});
}

// "Geländeordner…" is kept; the next run lays its tiles under a flight named on the command line.
TEST(ComingBack, TerrainFolderReachesTheNextRun) {
  QTemporaryDir dir;
  const QString tiles = dir.filePath(QStringLiteral("tiles"));
  ASSERT_TRUE(QDir().mkdir(tiles));
  ASSERT_TRUE(QFile::copy(dataPath(QStringLiteral("dem/N49E005.hgt.zip")), tiles + QStringLiteral("/N49E005.hgt.zip")));
  QSettings settings(dir.filePath(QStringLiteral("Trelvano.conf")), QSettings::IniFormat);
  Window first, second;
  first.form->keepBetweenRuns(&settings);
  first.dialogs->answers = {tiles};
  first.item("Gelaendeordner1")->trigger();
  EXPECT_EQ(settings.value("terrain/folder").toString(), tiles);

  second.form->keepBetweenRuns(&settings);
  const QString igc = writeBytes(dir.filePath(QStringLiteral("flug.igc")),
                                 "HFDTE010124\r\nB1000004942000N00552800EA0090000900\r\n"
                                 "B1000024942500N00553000EA0091000910\r\n");
  second.form->startUp(QStringLiteral("default.par"), {igc});
  EXPECT_TRUE(second.errors.isEmpty());
  EXPECT_EQ(second.form->core().data.TerrainState.tiles, QStringList{"N49E005.hgt.zip"});
  EXPECT_TRUE(second.child<QLabel>("LabelHueG")->isVisibleTo(second.form.get()));
}

}  // namespace coming_back_test
