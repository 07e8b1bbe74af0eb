#include "WindowFixture.h"
#include "app/core/Exaggeration.h"
#include "common/TestPaths.h"
#include "model/RunError.h"
#include "ui/QtFileDialogs.h"

#include <QAction>
#include <QApplication>
#include <QGroupBox>
#include <QLabel>
#include <QMenuBar>
#include <QMouseEvent>
#include <QSlider>
#include <QSpinBox>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

namespace main_window_test {

using namespace trelvano;

namespace {

QString igcPath() { return dataPath(QStringLiteral("igc/crlf-zero-pressure-xctrack.igc")); }

}  // namespace

TEST(MainWindow, MenuItemsCarryTheirCaptions) {
  Window w;
  const std::pair<const char*, const char*> items[] = {
      {"igcffnen1", "*.igc Öffnen"},
      {"Darstellung1", "*.csv Öffnen"},
      {"Karteladen1", "Pixel-Karte laden"},
      {"Mapladen1", "Vektor-Karte laden"},
      {"Ende1", "Ende"},
      {"Cokpit1", "Flugweg zentrieren"},
      {"Flugbahn1", "Flugbahn"},
      {"Schatten1", "Schatten"},
      {"NordPfeil1", "NordPfeil"},
      {"Gitter1", "Gitter"},
      {"Lot1", "Lot"},
      {"Karte1", "Karte"},
      {"VectorKarte1", "Vektor-Karte"},
      {"Startkoordinaten1", "Startkoordinaten"},
      {"Optionen1", "Optionen"},
      {"BlauRot1", "Flugrichtung"},
      {"Geschwindigkeit1", "Geschwindigkeit"},
      {"Flugweg1", "Flugweg"},
      {"N25mSchichten1", "25m-Schichten"},
      {"Energie1", "Energie"},
      {"Energiezuwachs1", "Energiezuwachs"},
      {"Ausgangsposition1", "Ausgangsposition der Kamera"},
      {"StartpunktindieMitte1", "Kameramitte auf den Startpunkt richten"},
      {"AutoZoomout1", "Auto-Zoom-out"},
      {"StartpunktdesFlugzeugeshierhersetzen1", "Startpunkt des Flugzeuges an Begin des Ausschnitts setzen"},
      {"StartpunktdesFlugzeugsandenBeginderAufzeicvhnungensetzen1",
       "Startpunkt des Flugzeuges an den Anfang der Aufzeichnungen setzen"},
      {"Editieren1", "Editor"},
      {"laden1", "laden"},
      {"speichern1", "speichern"},
      {"Grafik1", "Grafik"},
      {"berTrelvano1", "über Trelvano"},
  };
  for (const auto& [name, caption] : items) {
    QAction* a = w.item(name);
    if (a) {
      EXPECT_EQ(a->text(), QString::fromUtf8(caption)) << name;
    }
  }
  QStringList menus;
  for (QAction* a : w.form->menuBar()->actions()) menus << a->text();
  EXPECT_EQ(menus, (QStringList{"Datei", "Darstellung", "Overlay", "Navigation", "Parameter", "Info"}));
  EXPECT_EQ(w.form->windowTitle(), QStringLiteral("Trelvano 0.44  (NG)"));

  // Start state of the check items and the hidden ones.
  for (const char* checked : {"Flugbahn1", "Schatten1", "NordPfeil1", "Gitter1", "Lot1", "Startkoordinaten1"})
    EXPECT_TRUE(w.item(checked)->isChecked()) << checked;
  EXPECT_FALSE(w.item("Cokpit1")->isChecked());
  EXPECT_FALSE(w.item("Karte1")->isVisible());
  EXPECT_FALSE(w.item("VectorKarte1")->isVisible());
  EXPECT_FALSE(w.item("Grafik1")->isVisible());
}

TEST(MainWindow, NamedControlsExist) {
  Window w;
  for (const char* name : {"Image1", "Image2", "HLabel", "LabelDauer", "LabelHmax", "LabelVmax", "LabelVmax3",
                           "LabelNS", "LabelOW", "Label9", "Label10", "Label11", "Label13", "Label15", "LabelADC16",
                           "LabelADC16S", "LabelEx2", "LabelZ2s", "TrackPanel"})
    EXPECT_NE(w.form->findChild<QWidget*>(QLatin1String(name)), nullptr) << name;
  for (const char* name : {"NavGroupBox", "InfoGroupBox", "ADCGroupBox", "MiscGroupBox"}) w.child<QGroupBox>(name);
  EXPECT_EQ(w.child<QSlider>("TrackBar1")->maximum(), 1000);
  EXPECT_EQ(w.child<QTimer>("Timer1")->interval(), 100);
  EXPECT_EQ(w.child<QTimer>("Timer2")->interval(), 200);
}

TEST(MainWindow, StartUpWithTheDialogCancelled) {
  Window w;
  w.form->startUp(QStringLiteral("/nonexistent/default.par"));
  w.form->show();
  EXPECT_TRUE(w.errors.isEmpty()) << w.errors.join('\n').toStdString();
  EXPECT_EQ(w.dialogs->calls.size(), 1u);
  EXPECT_EQ(w.child<QLabel>("StatusBar1Panel")->text(), QStringLiteral("keine Datei"));
  EXPECT_EQ(w.form->core().data.LastPoint, 0);
  EXPECT_EQ(w.child<QLabel>("LabelDauer")->text(), QStringLiteral("0 min 0 s"));
  EXPECT_TRUE(w.child<QGroupBox>("InfoGroupBox")->isVisible());
  EXPECT_FALSE(w.child<QGroupBox>("NavGroupBox")->isVisible());
}

// "Darstellung → Überhöhung" checks one factor and draws with it; a factor
// not on the menu is refused; "Gelände" is a layer item like the others.
TEST(MainWindow, ExaggerationAndTerrainItems) {
  Window w;
  EXPECT_TRUE(w.item("Ueberhoehung1fach")->isChecked());
  const long long redraws = w.form->core().view.redrawCount();
  w.item("Ueberhoehung3fach")->trigger();
  EXPECT_EQ(w.form->core().data.Exaggeration, 3);
  EXPECT_EQ(w.form->core().view.redrawCount(), redraws + 1);
  EXPECT_TRUE(w.item("Ueberhoehung3fach")->isChecked());
  EXPECT_FALSE(w.item("Ueberhoehung1fach")->isChecked());
  EXPECT_THROW(trelvano::setExaggeration(w.form->core().view, 4), RunError);
  EXPECT_EQ(w.form->core().data.Exaggeration, 3);

  EXPECT_TRUE(w.item("Gelaende1")->isChecked());
  w.item("Gelaende1")->trigger();
  EXPECT_FALSE(w.form->core().view.layers.Gelaende);
  EXPECT_FALSE(w.item("Gelaende1")->isChecked());
  EXPECT_TRUE(w.errors.isEmpty());
}

TEST(MainWindow, IgcLoadUpdatesStatusBarAndPicture) {
  Window w;
  w.form->startUp(QStringLiteral("/nonexistent/default.par"));
  w.form->show();
  const QImage before = w.child<QWidget>("Image1")->grab().toImage();
  w.dialogs->answers = {igcPath()};
  w.item("igcffnen1")->trigger();
  EXPECT_TRUE(w.errors.isEmpty()) << w.errors.join('\n').toStdString();
  EXPECT_EQ(w.child<QLabel>("StatusBar1Panel")->text(), igcPath());
  const QImage after = w.child<QWidget>("Image1")->grab().toImage();
  EXPECT_NE(before, after);
  EXPECT_NE(w.child<QLabel>("LabelDauer")->text(), QStringLiteral("0 min 0 s"));
}

TEST(MainWindow, BadFileShowsTheErrorBoxAndKeepsTheFlight) {
  Window w;
  w.dialogs->answers = {igcPath()};
  w.item("igcffnen1")->trigger();
  QTemporaryDir dir;
  const QString bad = writeBytes(dir.filePath(QStringLiteral("bad.igc")),
                                 "B1101355206343N00006198WA0058700558\r\nB1101365206343N0000619XWA0058700558\r\n");
  w.dialogs->answers = {bad};
  w.item("igcffnen1")->trigger();
  ASSERT_EQ(w.errors.size(), 1);
  EXPECT_TRUE(w.errors[0].startsWith(QStringLiteral("'0000619X' ist kein gültiger Integerwert")))
      << w.errors[0].toStdString();
  EXPECT_EQ(w.child<QLabel>("StatusBar1Panel")->text(), igcPath());
  EXPECT_EQ(w.form->core().data.LastPoint, 293);

  // A text file renamed to ".igc" holds no fix: refused, the flight and its info stay.
  const QString info = w.child<QLabel>("LabelDauer")->text();
  w.dialogs->answers = {writeBytes(dir.filePath(QStringLiteral("README.igc")), "# Read me\n")};
  w.item("igcffnen1")->trigger();
  ASSERT_EQ(w.errors.size(), 2);
  EXPECT_EQ(w.errors[1], QStringLiteral("Keine Flugdaten in der Datei\nDatei README.igc"));
  EXPECT_EQ(w.child<QLabel>("StatusBar1Panel")->text(), igcPath());
  EXPECT_EQ(w.child<QLabel>("LabelDauer")->text(), info);
  EXPECT_EQ(w.form->core().data.LastPoint, 293);
}

TEST(MainWindow, OverlayAndReplayBar) {
  Window w;
  w.dialogs->answers = {igcPath()};
  w.item("igcffnen1")->trigger();
  w.form->show();
  w.item("Flugweg1")->trigger();
  EXPECT_TRUE(w.item("Flugweg1")->isChecked());
  EXPECT_TRUE(w.child<QWidget>("TrackPanel")->isVisible());
  EXPECT_TRUE(w.child<QTimer>("Timer2")->isActive());
  // Scrubbing (the bar's own tests are in ReplayBarTest): the cursor follows the bar.
  auto* bar = w.child<QSlider>("TrackBar1");
  QTest::keyClick(bar, Qt::Key_Home);
  EXPECT_FALSE(w.child<QTimer>("Timer2")->isActive());
  bar->setValue(500);
  EXPECT_EQ(w.form->core().data.CursorPoint, 146);  // round(500 / 1000 × 293) = 146.5 → 146
  w.item("Flugweg1")->trigger();
  EXPECT_FALSE(w.child<QWidget>("TrackPanel")->isVisible());
  EXPECT_TRUE(w.errors.isEmpty());
}

TEST(MainWindow, LayerItemsToggleAndRedraw) {
  Window w;
  const long long redraws = w.form->core().view.redrawCount();
  w.item("Gitter1")->trigger();
  EXPECT_FALSE(w.item("Gitter1")->isChecked());
  EXPECT_FALSE(w.form->core().view.layers.Gitter);
  EXPECT_GT(w.form->core().view.redrawCount(), redraws);
  w.item("Cokpit1")->trigger();
  EXPECT_TRUE(w.form->core().view.layers.FollowReplay);
}

TEST(MainWindow, DraggingOnTheImageTurnsTheCamera) {
  Window w;
  w.form->show();
  auto* image = w.child<QWidget>("Image1");
  auto send = [](QWidget* target, QEvent::Type type, QPoint at, Qt::MouseButton button, Qt::MouseButtons held) {
    QMouseEvent e(type, QPointF(at), QPointF(target->mapToGlobal(at)), button, held, Qt::NoModifier);
    QApplication::sendEvent(target, &e);
  };
  // A move before any press (right after a file dialog) changes nothing.
  send(image, QEvent::MouseMove, {100, 160}, Qt::NoButton, Qt::LeftButton);
  EXPECT_EQ(w.form->core().view.cam.CamE, 20);

  send(image, QEvent::MouseButtonPress, {100, 100}, Qt::LeftButton, Qt::LeftButton);
  send(image, QEvent::MouseMove, {100, 130}, Qt::NoButton, Qt::LeftButton);
  EXPECT_EQ(w.form->core().view.cam.CamE, 50);
  send(image, QEvent::MouseButtonRelease, {100, 130}, Qt::LeftButton, Qt::NoButton);

  // The "Entfernung:" label shares the move handler, with its own coordinates.
  QLabel* entfernung = nullptr;
  for (QLabel* l : w.child<QGroupBox>("NavGroupBox")->findChildren<QLabel*>())
    if (l->text() == QStringLiteral("Entfernung:")) entfernung = l;
  ASSERT_NE(entfernung, nullptr);
  send(entfernung, QEvent::MouseMove, {5, 5}, Qt::NoButton, Qt::LeftButton);
  EXPECT_EQ(w.form->core().view.cam.CamE, 0);  // 50 + (5 - 130), held at the horizon
  EXPECT_TRUE(w.errors.isEmpty());
}

TEST(MainWindow, MapItemsAppearCheckedAfterALoadAndToggle) {
  Window w;
  w.form->show();
  for (const char* command : {"Karteladen1", "Mapladen1"}) EXPECT_TRUE(w.item(command)->isEnabled()) << command;
  w.dialogs->answers = {sourcePath(QStringLiteral("examples/karte.bmp")),
                        sourcePath(QStringLiteral("examples/karte.map"))};
  w.item("Karteladen1")->trigger();
  w.item("Mapladen1")->trigger();
  EXPECT_TRUE(w.errors.isEmpty()) << w.errors.join('\n').toStdString();
  for (const char* item : {"Karte1", "VectorKarte1"}) {
    EXPECT_TRUE(w.item(item)->isVisible()) << item;
    EXPECT_TRUE(w.item(item)->isChecked()) << item;
    w.item(item)->trigger();
    EXPECT_FALSE(w.item(item)->isChecked()) << item;
  }
  EXPECT_FALSE(w.form->core().view.layers.Karte);
  EXPECT_FALSE(w.form->core().view.layers.VectorKarte);

  // A picture that cannot be read: the error box, the map item as it was.
  QTemporaryDir dir;
  w.dialogs->answers = {writeBytes(dir.filePath(QStringLiteral("kaputt.png")), "kein Bild")};
  w.item("Karteladen1")->trigger();
  ASSERT_EQ(w.errors.size(), 1);
  EXPECT_EQ(w.errors[0].toStdString(), "Bitmap ist ungültig\nDatei kaputt.png");
  EXPECT_FALSE(w.item("Karte1")->isChecked());
}

// "Karte" also hides and shows a georeferenced map loaded alone.
TEST(MainWindow, TheMapItemAppearsForAGeoreferencedMap) {
  Window w;
  w.form->show();
  EXPECT_FALSE(w.item("Karte1")->isVisible());
  w.dialogs->answers = {dataPath(QStringLiteral("maps/relief.png"))};
  w.item("GeoKarteladen1")->trigger();
  EXPECT_TRUE(w.errors.isEmpty()) << w.errors.join('\n').toStdString();
  EXPECT_TRUE(w.item("Karte1")->isVisible());
  EXPECT_TRUE(w.item("Karte1")->isChecked());
  w.item("Karte1")->trigger();
  EXPECT_FALSE(w.form->core().view.layers.Karte);
  EXPECT_FALSE(w.item("Karte1")->isChecked());
}

TEST(FileDialogFilters, EveryPatternAlsoInUpperCase) {
  EXPECT_EQ(nameFiltersWithUpperCase(QStringLiteral("*.igc")), QStringList{"*.igc *.IGC"});
  EXPECT_EQ(nameFiltersWithUpperCase(QStringLiteral("*.bmp;;Bilder (*.png *.jpg)")),
            (QStringList{"*.bmp *.BMP", "Bilder (*.png *.jpg *.PNG *.JPG)"}));
  EXPECT_EQ(nameFiltersWithUpperCase(QStringLiteral("*.CSV")), QStringList{"*.CSV"});
}

}  // namespace main_window_test
