// What a run leaves for the next: the recent flights and the window's place,
// in a scratch settings file.
#include "WindowFixture.h"
#include "common/TestPaths.h"

#include <QFile>
#include <QMenu>
#include <QSettings>
#include <QTemporaryDir>

namespace {

struct KeptRun : Window {
  explicit KeptRun(QSettings& settings) { form->keepBetweenRuns(&settings); }
  QMenu* recentMenu() const {
    auto* menu = form->findChild<QMenu*>(QStringLiteral("ZuletztGeoeffnet1"));
    EXPECT_NE(menu, nullptr);
    emit menu->aboutToShow();
    return menu;
  }
  QStringList entries() const {
    QStringList texts;
    for (QAction* a : recentMenu()->actions()) texts << a->text();
    return texts;
  }
};

}  // namespace

TEST(ComingBack, LoadedFlightsAreListedInTheNextRunAndOpenFromThere) {
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
    first.item("igcffnen1")->trigger();  // fails or is not there: not listed
    EXPECT_FALSE(first.recentMenu()->isEmpty());
  }
  KeptRun second(settings);
  EXPECT_EQ(second.entries(), (QStringList{"&1 " + igc, "&2 " + csv}));
  second.recentMenu()->actions().at(1)->trigger();
  EXPECT_EQ(second.form->core().state.flightFile, csv);
  EXPECT_TRUE(second.entries().first().endsWith(csv));
  EXPECT_TRUE(second.errors.isEmpty());

  // A file that is gone leaves the list, here and in the settings.
  ASSERT_TRUE(QFile::remove(igc));
  second.recentMenu()->actions().at(1)->trigger();
  EXPECT_EQ(second.errors, QStringList{"Datei nicht gefunden\nDatei rundflug.igc"});
  EXPECT_EQ(second.entries(), QStringList{"&1 " + csv});
  EXPECT_EQ(settings.value("recentFiles").toStringList(), QStringList{csv});
}

TEST(ComingBack, TheWindowReturnsAtItsSizeAndNothingWithoutSettings) {
  QTemporaryDir dir;
  QSettings settings(dir.filePath(QStringLiteral("Trelvano.conf")), QSettings::IniFormat);
  {
    KeptRun first(settings);
    first.form->resize(1000, 700);
    first.form->close();
  }
  EXPECT_EQ(KeptRun(settings).form->size(), QSize(1000, 700));
  Window plain;  // without settings the design size, as in every test
  EXPECT_NE(plain.form->size(), QSize(1000, 700));
  EXPECT_FALSE(plain.form->findChild<QMenu*>(QStringLiteral("ZuletztGeoeffnet1"))->isEnabled());
}
