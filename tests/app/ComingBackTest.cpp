// What a run leaves for the next, in a scratch settings file: the recent
// flights and the window's size.
#include "WindowFixture.h"
#include "common/TestPaths.h"

#include <QFile>
#include <QMenu>
#include <QSettings>
#include <QTemporaryDir>

namespace {
struct KeptRun : Window {
  explicit KeptRun(QSettings& settings) { form->keepBetweenRuns(&settings); }
  QList<QAction*> entries() const {
    auto* menu = form->findChild<QMenu*>(QStringLiteral("ZuletztGeoeffnet1"));
    emit menu->aboutToShow();
    return menu->actions();
  }
};
}  // namespace

TEST(ComingBack, FlightsAndWindowSizeReachTheNextRun) {
  QTemporaryDir dir;
  const QString igc = dir.filePath(QStringLiteral("rundflug.igc"));
  ASSERT_TRUE(QFile::copy(sourcePath(QStringLiteral("examples/rundflug.igc")), igc));
  const QString csv = sourcePath(QStringLiteral("examples/ng-flug.csv"));
  QSettings settings(dir.filePath(QStringLiteral("Trelvano.conf")), QSettings::IniFormat);
  {
    KeptRun first(settings);
    first.dialogs->answers = {csv, igc, sourcePath(QStringLiteral("tests/bad-inputs/empty.igc"))};
    first.item("Darstellung1")->trigger();
    first.item("igcffnen1")->trigger();
    first.item("igcffnen1")->trigger();  // a failed load is not listed
    first.form->resize(1000, 700);
    first.form->close();
  }
  KeptRun second(settings);
  EXPECT_EQ(second.form->size(), QSize(1000, 700));
  ASSERT_EQ(second.entries().size(), 2);
  EXPECT_EQ(second.entries()[0]->text(), "&1 " + igc);
  second.entries()[1]->trigger();
  EXPECT_EQ(second.form->core().state.flightFile, csv);
  EXPECT_TRUE(second.errors.isEmpty());

  // A file that is gone leaves the list, here and in the settings.
  ASSERT_TRUE(QFile::remove(igc));
  second.entries()[1]->trigger();
  EXPECT_EQ(second.errors, QStringList{"Datei nicht gefunden\nDatei rundflug.igc"});
  EXPECT_EQ(settings.value("recentFiles").toStringList(), QStringList{csv});
}
