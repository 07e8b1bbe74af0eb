// The chart window as the user meets it: opened from "Grafik", its controls,
// the mouse through QTest, several windows, activation and resizing.
#include "chart/ChartWindow.h"
#include "app/MainWindow.h"
#include "common/ScriptedDialogs.h"
#include "common/TestPaths.h"
#include "import/ParameterFile.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QTest>
#include <gtest/gtest.h>

namespace chart_window_test {

using namespace trelvano;

namespace {

// The main window with the example logger flight and its parameter file.
struct Program {
  std::unique_ptr<MainWindow> form;
  QStringList errors;

  Program() {
    form = std::make_unique<MainWindow>(std::make_unique<ScriptedDialogs>());
    form->errorGuard().setPresenter([this](const QString& text) { errors << text; });
    MainController& c = form->core();
    Ladeparameter(c.data.ChannelParams, sourcePath(QStringLiteral("examples/default.par")));
    form->handle([&c] { c.openLoggerFile(sourcePath(QStringLiteral("examples/ng-flug.csv"))); });
  }
  // "Parameter" → "Grafik"; the new window.
  ChartWindow* openChart() {
    form->findChild<QAction*>(QStringLiteral("Grafik1"))->trigger();
    const auto& charts = form->chartWindows();
    ChartWindow* chart = charts.empty() ? nullptr : charts.back();
    if (chart) chart->errorGuard().setPresenter([this](const QString& text) { errors << text; });
    return chart;
  }
};

template <class T>
T* child(QWidget* w, const char* name) {
  auto* c = w->findChild<T*>(QLatin1String(name));
  EXPECT_NE(c, nullptr) << name;
  return c;
}

QWidget* imageOf(ChartWindow* chart) { return child<QWidget>(chart, "ImageV"); }

// What a double click delivers: press, release, double click, release.
void doubleClick(QWidget* w, QPoint at) {
  QTest::mouseClick(w, Qt::LeftButton, {}, at);
  QTest::mouseDClick(w, Qt::LeftButton, {}, at);
  QTest::mouseRelease(w, Qt::LeftButton, {}, at);
}

}  // namespace

TEST(ChartWindow, GrafikOpensAnotherModelessWindowEachTime) {
  Program p;
  QAction* grafik = p.form->findChild<QAction*>(QStringLiteral("Grafik1"));
  EXPECT_TRUE(grafik->isVisible());
  EXPECT_TRUE(grafik->isEnabled());
  ChartWindow* first = p.openChart();
  ChartWindow* second = p.openChart();
  ASSERT_NE(first, second);
  for (ChartWindow* w : {first, second}) {
    EXPECT_TRUE(w->isVisible());
    EXPECT_FALSE(w->isModal());
    EXPECT_EQ(w->windowTitle(), QStringLiteral("Flugverlauf"));
  }
  EXPECT_EQ(&first->core().chart, &second->core().chart);
  QTest::mouseClick(child<QPushButton>(first, "Button1"), Qt::LeftButton);  // "Schließen" hides
  EXPECT_FALSE(first->isVisible());
  EXPECT_TRUE(second->isVisible());
  p.openChart();
  EXPECT_EQ(p.form->chartWindows().size(), 3u);
  EXPECT_TRUE(p.errors.isEmpty()) << p.errors.join('\n').toStdString();
}

TEST(ChartWindow, ControlsCarryTheirNamesAndFollowTheCore) {
  Program p;
  ChartWindow* w = p.openChart();
  for (const char* name : {"ImageV", "GroupBox1", "GroupBoxWind", "GroupBox4", "GroupBox2", "GroupBox3",
                           "RadioGroupScale", "LabelWindrichtung", "LabelWindstaerke", "LabelTemp", "Label1", "Label6",
                           "TrackBarWindRichtung", "TrackBarWindSpeed", "TrackBarTemp"})
    child<QWidget>(w, name);
  for (const char* name : {"CheckBoxGpsH", "CheckBoxGPSV2", "CheckBoxGPSV3", "CheckBoxGPSAV", "CheckBoxADC16",
                           "CheckBoxADC0", "CheckBoxADC4", "CheckBoxProp", "CheckBoxFrequenz", "CheckBoxExtra1",
                           "CheckBoxExtra2", "CheckBoxRC1", "CheckBoxRC3", "ZoomCheckBox"})
    child<QCheckBox>(w, name);
  EXPECT_EQ(imageOf(w)->size(), QSize(778, 305));
  // The channel boxes carry the names of the parameter table, enabled where the channel varies.
  EXPECT_EQ(child<QCheckBox>(w, "CheckBoxADC16")->text(), QStringLiteral("Baro"));
  EXPECT_TRUE(child<QCheckBox>(w, "CheckBoxADC16")->isEnabled());
  EXPECT_FALSE(child<QCheckBox>(w, "CheckBoxADC0")->isEnabled());
  EXPECT_FALSE(child<QCheckBox>(w, "ZoomCheckBox")->isEnabled());
  EXPECT_TRUE(child<QGroupBox>(w, "GroupBox1")->isEnabled());
  EXPECT_EQ(child<QLabel>(w, "LabelTemp")->text(), QStringLiteral("25°"));
  EXPECT_EQ(child<QSlider>(w, "TrackBarTemp")->value(), -25);

  // "geschätzt" can be chosen before "Air-Speed": it ticks the curve, which
  // shows the wind group; its bars set the wind.
  EXPECT_FALSE(child<QGroupBox>(w, "GroupBoxWind")->isVisible());
  ASSERT_TRUE(child<QCheckBox>(w, "CheckBoxWindGeschaetzt")->isVisible());
  QTest::mouseClick(child<QCheckBox>(w, "CheckBoxWindGeschaetzt"), Qt::LeftButton);
  EXPECT_TRUE(w->core().controls.windEstimated);
  EXPECT_TRUE(child<QCheckBox>(w, "CheckBoxGPSAV")->isChecked());
  EXPECT_TRUE(child<QGroupBox>(w, "GroupBoxWind")->isVisible());
  child<QSlider>(w, "TrackBarWindSpeed")->setValue(5);
  EXPECT_EQ(child<QLabel>(w, "LabelWindstaerke")->text(), QStringLiteral("15m/s"));
  child<QSlider>(w, "TrackBarTemp")->setValue(-12);
  EXPECT_EQ(p.form->core().data.Temperature, 12);
  EXPECT_EQ(child<QLabel>(w, "LabelTemp")->text(), QStringLiteral("12°"));
  const auto items = child<QGroupBox>(w, "RadioGroupScale")->findChildren<QRadioButton*>();
  ASSERT_EQ(items.size(), 2);
  EXPECT_TRUE(items[0]->isChecked());
  QTest::mouseClick(items[1], Qt::LeftButton);  // "individuell"
  EXPECT_FALSE(w->core().chart.UniformScale);
  EXPECT_TRUE(p.errors.isEmpty()) << p.errors.join('\n').toStdString();
}

// The selection figures with 15 significant digits, a sign and an exponent
// stand whole, side by side, inside the window.
TEST(ChartWindow, SelectionFiguresHaveRoomForEveryDigit) {
  Program p;
  ChartWindow* w = p.openChart();
  const QString figure = QStringLiteral("-1,23456789012345E-300");
  const char* prefixes[6] = {"max: ", "min: ", "maxmax: ", "minmin: ", "max1: ", "min1: "};
  for (int k = 0; k < 6; ++k)
    w->core().controls.Label[k] = QLatin1String(prefixes[k]) + (k / 2 == 1 ? QStringLiteral("-2147483648") : figure);
  w->showState();
  QRect previous;
  for (int k = 0; k < 6; ++k) {
    const auto* label = child<QLabel>(w, QStringLiteral("Label%1").arg(k + 1).toLatin1().constData());
    SCOPED_TRACE(label->text().toStdString());
    EXPECT_GE(label->width(), label->fontMetrics().horizontalAdvance(label->text()));
    const QRect place = label->geometry().translated(label->parentWidget()->mapTo(w, QPoint()));
    EXPECT_TRUE(w->rect().contains(place));
    if (k % 2 == 1) {
      EXPECT_FALSE(place.intersects(previous));
    }
    if (k >= 2 && k % 2 == 0) {
      EXPECT_GT(place.left(), previous.right());
    }
    previous = place;
  }
}

TEST(ChartWindow, MouseSelectsZoomsAndIsSharedBetweenWindows) {
  Program p;
  ChartWindow* a = p.openChart();
  ChartWindow* b = p.openChart();
  QTest::mouseClick(child<QCheckBox>(a, "CheckBoxGpsH"), Qt::LeftButton);
  FlightData& d = p.form->core().data;
  const int last = d.LastPoint;

  // A right drag in window a, released over window b.
  QTest::mousePress(imageOf(a), Qt::RightButton, {}, QPoint(100, 50));
  QTest::mouseMove(imageOf(a), QPoint(250, 120));
  QTest::mouseMove(imageOf(a), QPoint(400, 200));
  EXPECT_TRUE(a->core().chart.DragRectShown);
  QTest::mouseRelease(imageOf(b), Qt::RightButton, {}, QPoint(400, 200));
  EXPECT_EQ(d.RangeStart, qRound(double(last) / 778 * 100));
  EXPECT_EQ(d.RangeEnd, qRound(double(last) / 778 * 400));
  EXPECT_EQ(child<QLabel>(b, "Label3")->text(), QStringLiteral("maxmax: 254"));
  EXPECT_EQ(child<QLabel>(a, "Label3")->text(), QStringLiteral("Label3"));

  // A double click zooms in and out again.
  doubleClick(imageOf(a), QPoint(300, 100));
  EXPECT_TRUE(child<QCheckBox>(a, "ZoomCheckBox")->isChecked());
  EXPECT_EQ(a->core().chart.WindowStart, d.RangeStart);
  doubleClick(imageOf(a), QPoint(300, 100));
  EXPECT_FALSE(child<QCheckBox>(a, "ZoomCheckBox")->isChecked());
  EXPECT_TRUE(p.errors.isEmpty()) << p.errors.join('\n').toStdString();
}

TEST(ChartWindow, ActivationRedrawsAndTheImageFollowsTheWindow) {
  Program p;
  ChartWindow* w = p.openChart();
  p.form->core().data.Temperature = 30;  // as the parameter editor would set it
  QApplication::setActiveWindow(w);
  QApplication::processEvents();
  EXPECT_EQ(child<QLabel>(w, "LabelTemp")->text(), QStringLiteral("30°"));

  w->resize(1000, 700);
  QApplication::processEvents();
  EXPECT_EQ(w->core().image.size(), QSize(979, 461));
  EXPECT_EQ(imageOf(w)->size(), QSize(979, 461));
  EXPECT_EQ(child<QWidget>(w, "Button1")->mapTo(w, QPoint(0, 0)), QPoint(664, 408 + 156));
  EXPECT_TRUE(p.errors.isEmpty()) << p.errors.join('\n').toStdString();
}

// After an IGC file the chart keeps its window but draws no channels.
TEST(ChartWindow, AnIgcFlightDisablesTheChannelBoxes) {
  Program p;
  ChartWindow* w = p.openChart();
  QTest::mouseClick(child<QCheckBox>(w, "CheckBoxADC16"), Qt::LeftButton);
  EXPECT_TRUE(child<QCheckBox>(w, "CheckBoxADC16")->isChecked());
  MainController& c = p.form->core();
  p.form->handle([&c] { c.openIgcFile(sourcePath(QStringLiteral("examples/rundflug.igc"))); });
  EXPECT_FALSE(p.form->findChild<QAction*>(QStringLiteral("Grafik1"))->isVisible());
  QApplication::setActiveWindow(w);
  QApplication::processEvents();
  EXPECT_FALSE(child<QCheckBox>(w, "CheckBoxADC16")->isEnabled());
  EXPECT_TRUE(child<QCheckBox>(w, "CheckBoxADC16")->isChecked());
  EXPECT_EQ(w->core().chart.WindowEnd, c.data.LastPoint);
  EXPECT_TRUE(p.errors.isEmpty()) << p.errors.join('\n').toStdString();
}

}  // namespace chart_window_test
