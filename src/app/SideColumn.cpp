#include "app/SideColumn.h"

#include "app/core/LongestTexts.h"
#include "model/ChannelParams.h"

#include <QFontMetrics>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QVBoxLayout>

#include <algorithm>

namespace trelvano {

namespace {

constexpr int kValueIndent = 12;  // value labels sit right of their caption's start

int widthOf(const QFontMetrics& m, const QString& text) { return m.horizontalAdvance(text) + 2; }

QLabel* makeLabel(QWidget* parent, const char* objectName, const QString& text) {
  auto* label = new QLabel(text, parent);
  if (objectName) label->setObjectName(QLatin1String(objectName));
  return label;
}

// A value label below its caption, wide enough for `longest`.
QLabel* addPair(QVBoxLayout* box, const QString& caption, const char* valueName, const QString& value,
                const QString& longest, QLabel** captionOut = nullptr) {
  QWidget* parent = box->parentWidget();
  QLabel* c = makeLabel(parent, nullptr, caption);
  QLabel* v = makeLabel(parent, valueName, value);
  v->setIndent(kValueIndent);
  v->setMinimumWidth(widthOf(v->fontMetrics(), longest) + kValueIndent);
  c->setMinimumWidth(widthOf(c->fontMetrics(), caption));
  auto* pair = new QVBoxLayout;
  pair->setSpacing(0);
  pair->addWidget(c);
  pair->addWidget(v);
  box->addLayout(pair);
  if (captionOut) *captionOut = c;
  return v;
}

QGroupBox* makeBox(QWidget* parent, const char* objectName, const QString& title) {
  auto* box = new QGroupBox(title, parent);
  box->setObjectName(QLatin1String(objectName));
  return box;
}

// The column's box layout: the rows at the top, the rest of the height empty.
QVBoxLayout* pairLayout(QGroupBox* box, int spacing) {
  auto* l = new QVBoxLayout(box);
  l->setContentsMargins(6, 4, 4, 4);
  l->setSpacing(spacing);
  return l;
}

}  // namespace

SideColumn buildSideColumn(QWidget* parent, const SidePanels& start, const QString& hLabel) {
  const SidePanels longest = longestSidePanelTexts();
  SideColumn s;
  s.widget = new QWidget(parent);
  s.widget->setObjectName(QStringLiteral("SideColumn"));

  s.NavGroupBox = makeBox(s.widget, "NavGroupBox", QStringLiteral("Navigation"));
  static const char* const kNavCaptions[5] = {"Entfernung:", "Höhe:", "V [m/s]:", "Vario:", "Flugzeit:"};
  static const char* const kNavValues[5] = {"Label9", "Label10", "Label11", "Label13", "Label15"};
  QVBoxLayout* nav = pairLayout(s.NavGroupBox, 2);
  for (int k = 0; k < 5; ++k)
    s.navValue[k] = addPair(nav, QString::fromUtf8(kNavCaptions[k]), kNavValues[k], start.nav[k], longest.nav[k],
                            k == 0 ? &s.entfernungLabel : nullptr);
  nav->addStretch(1);

  s.InfoGroupBox = makeBox(s.widget, "InfoGroupBox", QStringLiteral("Info"));
  static const char* const kInfoCaptions[6] = {
      "Flugdauer:", "Maximalhöhe:", "Max.Groundspeed:", "Max.Airspeed:", "Nord-Süd-Weg:", "Ost-West-Weg:"};
  static const char* const kInfoValues[6] = {"LabelDauer", "LabelHmax", "LabelVmax",
                                             "LabelVmax3", "LabelNS",   "LabelOW"};
  QVBoxLayout* info = pairLayout(s.InfoGroupBox, 10);
  for (int k = 0; k < 6; ++k)
    s.infoValue[k] = addPair(info, QString::fromUtf8(kInfoCaptions[k]), kInfoValues[k], start.info[k], longest.info[k]);
  s.minHeightAboveGround =
      addPair(info, QStringLiteral("Min. Höhe über Grund:"), "LabelHueG", start.minHeightAboveGround,
              longest.minHeightAboveGround, &s.minHeightAboveGroundCaption);
  info->addStretch(1);

  static const char* const kCaptionNames[13] = {
      "LabelADC16S",    "LabelADC0S", "LabelADC1s", "LabelADC2s", "LabelADC3s", "LabelADC4s", "LabelSpeeds",
      "LabelFrequenzs", "LabelRC1s",  "LabelRC2s",  "LabelRC3s",  "LabelZ1s",   "LabelZ2s"};
  static const char* const kValueNames[13] = {"LabelADC16", "LabelADC0",  "LabelADC1",     "LabelADC2", "LabelADC3",
                                              "LabelADC4",  "LabelSpeed", "LabelFrequenz", "LabelRC1",  "LabelRC2",
                                              "LabelRC3",   "LabelEx1",   "LabelEx2"};
  s.ADCGroupBox = makeBox(s.widget, "ADCGroupBox", QStringLiteral("ADCs"));
  s.MiscGroupBox = makeBox(s.widget, "MiscGroupBox", QStringLiteral("Misc."));
  QGridLayout* rows[2] = {new QGridLayout(s.ADCGroupBox), new QGridLayout(s.MiscGroupBox)};
  for (QGridLayout* g : rows) {
    g->setContentsMargins(6, 2, 4, 2);
    g->setHorizontalSpacing(6);
    g->setVerticalSpacing(1);
  }
  const QFontMetrics m = s.widget->fontMetrics();
  for (int k = 0; k < kChannelCount; ++k) {
    const bool adc = k < 6;
    QGroupBox* box = adc ? s.ADCGroupBox : s.MiscGroupBox;
    QLabel* c = makeLabel(box, kCaptionNames[k], start.channelCaption[k]);
    QLabel* v = makeLabel(box, kValueNames[k], start.channelValue[k]);
    c->setMinimumWidth(widthOf(m, longest.channelCaption[k]));
    v->setMinimumWidth(widthOf(m, longest.channelValue[k]));
    // The box keeps its height when a value label is hidden.
    QSizePolicy keep = v->sizePolicy();
    keep.setRetainSizeWhenHidden(true);
    v->setSizePolicy(keep);
    const int row = adc ? k : k - 6;
    rows[adc ? 0 : 1]->addWidget(c, row, 0);
    rows[adc ? 0 : 1]->addWidget(v, row, 1);
    s.channelCaption[k] = c;
    s.channelValue[k] = v;
  }
  for (QGridLayout* g : rows) g->setRowStretch(g->rowCount(), 1);

  s.HLabel = makeLabel(s.widget, "HLabel", hLabel);
  int hWidth = 0;
  for (const QString& text : altitudeLabelTexts()) hWidth = std::max(hWidth, widthOf(m, text));
  s.HLabel->setMinimumWidth(hWidth);
  s.HLabel->setIndent(8);

  // Navigation on top; Info, or ADCs over Misc., in the height below it.
  auto* column = new QVBoxLayout(s.widget);
  column->setContentsMargins(0, 0, 0, 0);
  column->setSpacing(7);
  column->addWidget(s.NavGroupBox, 0);
  column->addWidget(s.InfoGroupBox, 1);
  column->addWidget(s.ADCGroupBox, 6);
  column->addWidget(s.MiscGroupBox, 7);
  column->addWidget(s.HLabel, 0);

  // One width for every set of visible boxes, so the 3D view keeps its size
  // when an overlay switches the panels; the height of the tallest set.
  int width = s.HLabel->minimumSizeHint().width();
  for (QGroupBox* box : {s.NavGroupBox, s.InfoGroupBox, s.ADCGroupBox, s.MiscGroupBox})
    width = std::max(width, box->minimumSizeHint().width());
  const int gap = column->spacing();
  const int navHeight = s.NavGroupBox->minimumSizeHint().height();
  const int tallest =
      std::max(s.InfoGroupBox->minimumSizeHint().height(),
               s.ADCGroupBox->minimumSizeHint().height() + gap + s.MiscGroupBox->minimumSizeHint().height());
  s.widget->setFixedWidth(width);
  s.widget->setMinimumHeight(navHeight + gap + tallest + gap + s.HLabel->minimumSizeHint().height());
  return s;
}

}  // namespace trelvano
