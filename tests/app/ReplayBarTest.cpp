// The replay stops only when the user acts on the track bar itself, never
// when focus merely comes back to it.
#include "WindowFixture.h"
#include "common/TestPaths.h"

#include <QApplication>
#include <QFocusEvent>
#include <QMenu>
#include <QMenuBar>
#include <QSlider>
#include <QStyle>
#include <QStyleOptionSlider>
#include <QTest>
#include <QTimer>

namespace replay_bar_test {

using namespace trelvano;

namespace {

struct Replay : Window {
  QSlider* bar = nullptr;
  QTimer* timer = nullptr;

  Replay() {
    dialogs->answers = {sourcePath(QStringLiteral("examples/rundflug.igc"))};
    item("igcffnen1")->trigger();
    form->show();
    QApplication::setActiveWindow(form.get());
    EXPECT_TRUE(QTest::qWaitForWindowActive(form.get()));
    bar = child<QSlider>("TrackBar1");
    timer = child<QTimer>("Timer2");
    startReplay();
  }
  // "Flugweg" off and on again: the replay starts over from point 0.
  void startReplay() {
    if (item("Flugweg1")->isChecked()) item("Flugweg1")->trigger();
    item("Flugweg1")->trigger();
    EXPECT_TRUE(timer->isActive());
  }
  void tick(int n) {
    for (int k = 0; k < n; ++k) QMetaObject::invokeMethod(timer, "timeout", Qt::DirectConnection);
  }
  // The bar position a click at x selects, as the slider's style computes it.
  int valueAt(int x) const {
    QStyleOptionSlider opt;
    opt.initFrom(bar);
    opt.orientation = Qt::Horizontal;
    opt.minimum = bar->minimum();
    opt.maximum = bar->maximum();
    const QRect handle = bar->style()->subControlRect(QStyle::CC_Slider, &opt, QStyle::SC_SliderHandle, bar);
    const QRect groove = bar->style()->subControlRect(QStyle::CC_Slider, &opt, QStyle::SC_SliderGroove, bar);
    return QStyle::sliderValueFromPosition(bar->minimum(), bar->maximum(), x - handle.width() / 2 - groove.x(),
                                           groove.width() - handle.width());
  }
  int cursorFor(int position) const { return int(std::lrint(position / 1000.0 * form->core().data.LastPoint)); }
};

TEST(ReplayBar, FocusGivenBackDoesNotStopTheReplay) {
  Replay r;
  ASSERT_TRUE(r.form->core().data.LastPoint > 100);
  for (Qt::FocusReason reason : {Qt::PopupFocusReason, Qt::ActiveWindowFocusReason, Qt::OtherFocusReason,
                                 Qt::ShortcutFocusReason, Qt::MenuBarFocusReason}) {
    QFocusEvent in(QEvent::FocusIn, reason);
    QApplication::sendEvent(r.bar, &in);
    EXPECT_TRUE(r.timer->isActive()) << "reason " << reason;
  }
  // A real popup menu opened over the focused bar and closed with Escape.
  r.bar->setFocus(Qt::OtherFocusReason);
  QMenu* menu = r.form->findChild<QMenu*>(QStringLiteral("Darstellung2"));
  ASSERT_NE(menu, nullptr);
  menu->popup(r.form->mapToGlobal(QPoint(60, 20)));
  QTest::keyClick(menu, Qt::Key_Escape);
  EXPECT_FALSE(menu->isVisible());
  EXPECT_TRUE(r.timer->isActive());
  r.tick(3);
  EXPECT_EQ(r.form->core().data.CursorPoint, 3);
  EXPECT_TRUE(r.errors.isEmpty());
}

TEST(ReplayBar, UserInputStopsTheReplayAndSetsTheCursor) {
  Replay r;
  // Focus reaching the bar by Tab, Backtab or the mouse.
  for (Qt::FocusReason reason : {Qt::TabFocusReason, Qt::BacktabFocusReason, Qt::MouseFocusReason}) {
    r.startReplay();
    QFocusEvent in(QEvent::FocusIn, reason);
    QApplication::sendEvent(r.bar, &in);
    EXPECT_FALSE(r.timer->isActive()) << "reason " << reason;
  }

  // A click on the groove, twice: the second time the bar already has the
  // focus and the replay has been started again.
  for (int x : {r.bar->width() / 4, r.bar->width() * 3 / 4}) {
    r.startReplay();
    r.tick(7);
    const int expected = r.valueAt(x);
    QTest::mouseClick(r.bar, Qt::LeftButton, Qt::NoModifier, QPoint(x, r.bar->height() / 2));
    EXPECT_FALSE(r.timer->isActive());
    EXPECT_EQ(r.bar->value(), expected);
    EXPECT_EQ(r.form->core().data.CursorPoint, r.cursorFor(expected));
    EXPECT_TRUE(r.bar->hasFocus());
  }

  // A key on the focused bar.
  r.startReplay();
  r.tick(5);
  const int before = r.bar->value();
  QTest::keyClick(r.bar, Qt::Key_Right);
  EXPECT_FALSE(r.timer->isActive());
  EXPECT_EQ(r.bar->value(), before + r.bar->singleStep());
  EXPECT_EQ(r.form->core().data.CursorPoint, r.cursorFor(before + r.bar->singleStep()));
  EXPECT_TRUE(r.errors.isEmpty());
}

// Space holds and releases the replay over the 3D view and the bar; "." and
// "," step it while held. At "10×" a tick takes two points.
TEST(ReplayBar, SpaceHoldsPeriodStepsSpeedMenuHurries) {
  Replay r;
  for (const char* name : {"Image1", "TrackBar1"}) {
    QWidget* target = r.child<QWidget>(name);
    r.startReplay();
    target->setFocus(Qt::OtherFocusReason);
    r.tick(4);
    for (Qt::Key key : {Qt::Key_Space, Qt::Key_Period, Qt::Key_Period, Qt::Key_Comma}) QTest::keyClick(target, key);
    EXPECT_FALSE(r.timer->isActive()) << name;
    EXPECT_EQ(r.form->core().data.CursorPoint, 5) << name;
    EXPECT_EQ(r.bar->value(), int(std::lrint(1000.0 / r.form->core().data.LastPoint * 5)));
    QTest::keyClick(target, Qt::Key_Space);
    EXPECT_TRUE(r.timer->isActive()) << name;
  }
  r.item("Tempo3")->trigger();
  r.tick(3);
  EXPECT_EQ(r.form->core().data.CursorPoint, 11);
  EXPECT_EQ(r.timer->interval(), 40);
  EXPECT_TRUE(r.errors.isEmpty());
}

}  // namespace

}  // namespace replay_bar_test
