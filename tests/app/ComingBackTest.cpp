#include "WindowFixture.h"
#include "common/TestPaths.h"

#include <QFile>
#include <QMenu>
#include <QSettings>
#include <QTemporaryDir>

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
