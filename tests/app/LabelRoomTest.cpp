// Every label of the main window holds the longest text it can come to show,
// at the window's smallest size and larger, with nothing drawn over another.
#include "WindowFixture.h"
#include "app/core/LongestTexts.h"

#include <QApplication>
#include <QLabel>
#include <QLayout>

namespace label_room_test {

using namespace trelvano;

namespace {

QRect inWindow(const QWidget* w, const QWidget* window) { return QRect(w->mapTo(window, QPoint(0, 0)), w->size()); }

void expectRoomForEveryLabel(const Window& w, const char* what) {
  SCOPED_TRACE(what);
  QWidget* window = w.form.get();
  std::vector<const QWidget*> placed;
  for (const QLabel* label : window->findChildren<QLabel*>()) {
    if (!label->isVisibleTo(window) || label->objectName() == QStringLiteral("StatusBar1Panel")) continue;
    const QString name = label->objectName().isEmpty() ? label->text() : label->objectName();
    EXPECT_GE(label->width(), label->sizeHint().width())
        << name.toStdString() << " cuts \"" << label->text().toStdString() << '"';
    EXPECT_GE(label->height(), label->sizeHint().height()) << name.toStdString();
    EXPECT_TRUE(label->parentWidget()->contentsRect().contains(label->geometry())) << name.toStdString();
    placed.push_back(label);
  }
  for (const char* name : {"Image1", "Image2", "TrackPanel"})
    if (auto* widget = window->findChild<QWidget*>(QLatin1String(name)); widget->isVisibleTo(window))
      placed.push_back(widget);
  for (size_t a = 0; a < placed.size(); ++a) {
    const QRect ra = inWindow(placed[a], window);
    EXPECT_TRUE(window->rect().contains(ra)) << placed[a]->objectName().toStdString();
    for (size_t b = a + 1; b < placed.size(); ++b)
      EXPECT_FALSE(ra.intersects(inWindow(placed[b], window)))
          << placed[a]->objectName().toStdString() << " / " << placed[b]->objectName().toStdString();
  }
}

TEST(LabelRoom, LongestTextsFitInEveryPanelSetAndSize) {
  Window w;
  w.form->show();
  MainController& c = w.form->core();
  c.panels = longestSidePanelTexts();
  QString hLabel;
  for (const QString& text : altitudeLabelTexts())
    if (w.form->fontMetrics().horizontalAdvance(text) > w.form->fontMetrics().horizontalAdvance(hLabel)) hLabel = text;
  c.state.hLabel = hLabel;

  struct PanelSet {
    const char* what;
    bool info, nav, adc, misc, track, legend;
  };
  const PanelSet sets[] = {
      {"statistics", true, false, false, false, false, false},
      {"statistics and legend", true, false, false, false, false, true},
      {"replay of an IGC flight", true, true, false, false, true, false},
      {"replay of a logger flight", false, true, true, true, true, false},
  };
  const QSize sizes[] = {w.form->minimumSize(), w.form->size(), QSize(1400, 1000)};
  ASSERT_GE(w.form->minimumWidth(), 400);
  for (const QSize& size : sizes) {
    w.form->resize(size);
    for (const PanelSet& s : sets) {
      SidePanels& p = c.panels;
      p.infoVisible = s.info, p.navVisible = s.nav, p.adcVisible = s.adc, p.miscVisible = s.misc;
      p.trackPanelVisible = s.track, p.image2Visible = s.legend;
      w.form->showState();
      w.form->layout()->activate();
      QApplication::processEvents();
      expectRoomForEveryLabel(w, s.what);
    }
  }
  EXPECT_TRUE(w.errors.isEmpty());
}

}  // namespace

}  // namespace label_room_test
