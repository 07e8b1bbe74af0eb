// The replay cursor marked in an open chart window: it follows the replay and
// the track bar without touching the chart image, and a middle click or
// Ctrl + left click in the chart moves the cursor. The chart's picture saves too.
#include "chart/ChartWindow.h"
#include "WindowFixture.h"
#include "common/TestPaths.h"
#include "import/ParameterFile.h"

#include <QLabel>
#include <QSlider>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

namespace chart_cursor_test {

using namespace trelvano;

namespace {

struct ChartAndReplay : Window {
  ChartWindow* chart = nullptr;
  QTimer* timer = nullptr;

  ChartAndReplay() {
    MainController& c = form->core();
    Ladeparameter(c.data.ChannelParams, sourcePath(QStringLiteral("examples/default.par")));
    form->startUp(QStringLiteral("/nonexistent/default.par"), {sourcePath(QStringLiteral("examples/ng-flug.csv"))});
    form->show();
    item("Grafik1")->trigger();
    chart = form->chartWindows().back();
    chart->errorGuard().setPresenter([this](const QString& text) { errors << text; });
    item("Flugweg1")->trigger();
    timer = child<QTimer>("Timer2");
  }
  void tick() { QMetaObject::invokeMethod(timer, "timeout", Qt::DirectConnection); }
  int expectedColumn() const { return chart->core().pointColumn(form->core().data.CursorPoint); }
};

TEST(ChartCursor, TheMarkFollowsTheReplayWithoutRedrawingTheChart) {
  ChartAndReplay r;
  const QImage chartBefore = r.chart->core().image;
  int previous = r.chart->cursorMarkColumn();
  EXPECT_EQ(previous, -1);  // no mark until the replay has stepped
  for (int k = 0; k < 25; ++k) {
    r.tick();
    EXPECT_EQ(r.chart->cursorMarkColumn(), r.expectedColumn());
  }
  EXPECT_GT(r.chart->cursorMarkColumn(), previous);
  EXPECT_EQ(r.chart->core().image, chartBefore);  // the mark lies above the image

  // The track bar moves it too.
  QTest::keyClick(r.child<QSlider>("TrackBar1"), Qt::Key_End);
  EXPECT_EQ(r.form->core().data.CursorPoint, r.form->core().data.LastPoint);
  EXPECT_EQ(r.chart->cursorMarkColumn(), r.chart->core().width() - 1);
  EXPECT_TRUE(r.errors.isEmpty()) << r.errors.join('\n').toStdString();
}

TEST(ChartCursor, AClickInTheChartMovesTheCursor) {
  ChartAndReplay r;
  QWidget* image = r.chart->findChild<QWidget*>(QStringLiteral("ImageV"));
  ASSERT_NE(image, nullptr);
  const QImage chartBefore = r.chart->core().image;
  const QString distanceBefore = r.child<QLabel>("Label9")->text();
  struct Pick {
    Qt::MouseButton button;
    Qt::KeyboardModifiers modifiers;
    int x;
  };
  for (const Pick& pick : {Pick{Qt::MiddleButton, Qt::NoModifier, image->width() / 2},
                           Pick{Qt::LeftButton, Qt::ControlModifier, image->width() / 5}}) {
    const QPoint at(pick.x, image->height() / 2);
    QTest::mousePress(image, pick.button, pick.modifiers, at);
    QTest::mouseMove(image, at + QPoint(30, 10));
    QTest::mouseRelease(image, pick.button, pick.modifiers, at + QPoint(30, 10));
    EXPECT_FALSE(r.timer->isActive());  // the replay stops as for the track bar
    EXPECT_EQ(r.form->core().data.CursorPoint, r.chart->core().columnPoint(pick.x));
    EXPECT_EQ(r.chart->cursorMarkColumn(), r.expectedColumn());
    EXPECT_LE(std::abs(r.chart->cursorMarkColumn() - pick.x), 1);
    // No measurement line and no selection: the picture is as the chart drew it.
    EXPECT_EQ(r.chart->core().image, chartBefore);
  }
  EXPECT_NE(r.child<QLabel>("Label9")->text(), distanceBefore);  // the point display followed
  EXPECT_TRUE(r.errors.isEmpty()) << r.errors.join('\n').toStdString();
}

TEST(ChartCursor, TheChartPictureSaves) {
  ChartAndReplay r;
  QTemporaryDir dir;
  const QString png = dir.filePath(QStringLiteral("verlauf.png"));
  r.dialogs->answers = {png};
  QAction* save = r.chart->findChild<QAction*>(QStringLiteral("BildSpeichern1"));
  ASSERT_NE(save, nullptr);
  save->trigger();
  EXPECT_EQ(QImage(png).convertToFormat(QImage::Format_RGB32), r.chart->core().image);
  EXPECT_TRUE(r.errors.isEmpty()) << r.errors.join('\n').toStdString();
}

}  // namespace

}  // namespace chart_cursor_test
