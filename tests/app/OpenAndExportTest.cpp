// Files opened by name (command line, dropped on the window), the wheel and
// the arrow keys on the 3D view, and the picture written by "Bild speichern…".
#include "WindowFixture.h"
#include "common/TestPaths.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QMimeData>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>
#include <QWheelEvent>

#include <sys/stat.h>

namespace open_and_export_test {

using namespace trelvano;

namespace {

QString example(const char* name) { return sourcePath(QStringLiteral("examples/") + QLatin1String(name)); }

TEST(OpenByName, EachFileWithItsReaderAndAFailureDoesNotStopTheRest) {
  QTemporaryDir dir;
  const QString bad = writeBytes(dir.filePath(QStringLiteral("kaputt.IGC")), "B1101\r\n");
  const QString upper = writeBytes(dir.filePath(QStringLiteral("RUND.IGC")), readBytes(example("rundflug.igc")));
  const QString folder = dir.filePath(QStringLiteral("ordner.igc"));
  ASSERT_TRUE(QDir().mkdir(folder));
  const QString fifo = dir.filePath(QStringLiteral("rohr.csv"));
  ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
  Window w;
  bool shownAtFirstBox = false;
  w.form->errorGuard().setPresenter([&](const QString& text) {
    if (w.errors.isEmpty()) shownAtFirstBox = w.form->isVisible();
    w.errors << text;
  });
  const QString cwd = QDir::currentPath();
  QDir::setCurrent(dir.path());  // names as typed on a command line, relative to the current folder
  w.form->startUp(QStringLiteral("/nonexistent/default.par"),
                  {example("ng-flug.csv"), example("default.par"), QStringLiteral("fehlt.csv"), folder, fifo, bad,
                   QStringLiteral("RUND.IGC")});
  QDir::setCurrent(cwd);
  EXPECT_TRUE(w.dialogs->calls.empty());  // no start-up dialog
  EXPECT_TRUE(shownAtFirstBox);
  ASSERT_EQ(w.errors.size(), 4);  // every file that failed has its box, and the rest still open
  EXPECT_EQ(w.errors[0], QStringLiteral("Datei nicht gefunden\nDatei fehlt.csv"));
  EXPECT_EQ(w.errors[1], QStringLiteral("Datei kann nicht geöffnet werden\nDatei ordner.igc"));
  EXPECT_EQ(w.errors[2], QStringLiteral("Datei kann nicht geöffnet werden\nDatei rohr.csv"));
  EXPECT_TRUE(w.errors[3].startsWith(QStringLiteral("Fehler bei Bereichsprüfung"))) << w.errors[3].toStdString();
  // The first flight file opened, the IGC flight in capitals was added beside it.
  const MainController& c = w.form->core();
  ASSERT_EQ(c.flights.count(), 2);
  EXPECT_EQ(c.flights.activeIndex(), 0);
  EXPECT_TRUE(c.data.LoggerNG);
  EXPECT_EQ(c.flights.at(1).path, upper);  // the full path
  EXPECT_EQ(c.flights.at(1).flight->fixes.size(), 300u);
  EXPECT_EQ(w.form->windowTitle(), QStringLiteral("Trelvano 0.44 – ng-flug.csv"));
  EXPECT_EQ(c.data.ChannelParams[0].Kind, kKindHoehe);  // default.par, read as "Parameter → laden" would
}

TEST(OpenByName, DroppedFlightsOpenTheFirstAndAddTheOthers) {
  Window w;
  w.form->show();
  QMimeData mime;
  mime.setUrls({QUrl::fromLocalFile(example("rundflug.igc")), QUrl::fromLocalFile(example("alt-flug.csv"))});
  QDragEnterEvent enter(QPoint(300, 200), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(w.form.get(), &enter);
  EXPECT_TRUE(enter.isAccepted());
  QDropEvent drop(QPointF(300, 200), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(w.form.get(), &drop);
  // Flights dropped together: the first opens, the other is added beside it.
  EXPECT_TRUE(w.form->core().state.statusText.endsWith(QStringLiteral("rundflug.igc")));
  ASSERT_EQ(w.form->core().flights.count(), 2);
  EXPECT_TRUE(w.form->core().flights.at(1).path.endsWith(QStringLiteral("alt-flug.csv")));

  QMimeData text;
  text.setText(QStringLiteral("kein Dateiname"));
  QDragEnterEvent textEnter(QPoint(300, 200), Qt::CopyAction, &text, Qt::LeftButton, Qt::NoModifier);
  textEnter.ignore();
  QApplication::sendEvent(w.form.get(), &textEnter);
  EXPECT_FALSE(textEnter.isAccepted());
  EXPECT_TRUE(w.errors.isEmpty());
}

TEST(ViewInput, WheelNotchesAndArrowKeys) {
  Window w;
  w.form->show();
  View3D& view = w.form->core().view;
  view.resetCamera();
  QWidget* image = w.child<QWidget>("Image1");
  const auto wheel = [&](int delta) {
    const QPointF at(100, 100);
    QWheelEvent e(at, image->mapToGlobal(at), QPoint(), QPoint(0, delta), Qt::NoButton, Qt::NoModifier,
                  Qt::NoScrollPhase, false);
    QApplication::sendEvent(image, &e);
  };
  long long redraws = view.redrawCount();
  wheel(120);
  EXPECT_EQ(view.cam.CamY, 333);
  EXPECT_EQ(view.redrawCount(), redraws + 1);
  wheel(60);  // half a notch of a fine wheel: nothing yet
  EXPECT_EQ(view.cam.CamY, 333);
  wheel(-300);  // with the half before, two notches back
  EXPECT_EQ(view.cam.CamY, -400);

  image->setFocus();
  QTest::keyClick(image, Qt::Key_Right);
  EXPECT_EQ(view.cam.CamA, 5);
  QTest::keyClick(image, Qt::Key_Down);
  EXPECT_EQ(view.cam.CamE, 15);
  EXPECT_TRUE(w.errors.isEmpty());
}

TEST(PictureExport, TheBackBufferExactly) {
  Window w;
  w.form->startUp(QStringLiteral("/nonexistent/default.par"), {example("rundflug.igc")});
  QTemporaryDir dir;
  const QString png = dir.filePath(QStringLiteral("flug.png"));
  w.dialogs->answers = {png};
  w.item("BildSpeichern1")->trigger();
  ASSERT_TRUE(w.errors.isEmpty()) << w.errors.join('\n').toStdString();
  const DialogCall& call = w.dialogs->calls.back();
  EXPECT_TRUE(call.save);
  EXPECT_EQ(call.filter, QStringLiteral("*.png"));
  const QImage written(png);
  EXPECT_EQ(written.convertToFormat(QImage::Format_RGB32), w.form->core().view.BackBuffer);

  // A folder that does not exist: the error box with the path.
  w.dialogs->answers = {dir.filePath(QStringLiteral("fehlt/flug.png"))};
  w.item("BildSpeichern1")->trigger();
  ASSERT_EQ(w.errors.size(), 1);
  EXPECT_TRUE(w.errors[0].startsWith(QStringLiteral("E/A-Fehler 3\n")));
}

}  // namespace

}  // namespace open_and_export_test
