#include "chart/ChartWindow.h"

#include "model/Numbers.h"
#include "ui/ImageView.h"

#include <QAction>
#include <QCheckBox>
#include <QPainter>
#include <QEvent>
#include <QFontMetrics>
#include <QGroupBox>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>

#include <algorithm>

namespace trelvano {

namespace {

constexpr int kClientWidth = 799;
constexpr int kClientHeight = 544;
constexpr int kImageLeft = 8;
constexpr int kImageTop = 8;
// The controls below the image start here in the window as designed.
constexpr int kPanelTop = 320;
constexpr int kImageMargin = kClientWidth - ChartView::kDefaultWidth;   // beside the image
constexpr int kBelowImage = kClientHeight - ChartView::kDefaultHeight;  // above and below it

struct BoxPlace {
  const char* objectName;
  int group;  // 0 "ADCs", 1 "Misc."
  int x, y;
};
// The channel boxes by ChannelIndex.
constexpr BoxPlace kChannelBoxes[kChannelCount] = {
    {"CheckBoxADC16", 0, 8, 16},  {"CheckBoxADC0", 0, 8, 44},     {"CheckBoxADC1", 0, 8, 72},
    {"CheckBoxADC2", 0, 96, 16},  {"CheckBoxADC3", 0, 96, 44},    {"CheckBoxADC4", 0, 96, 72},
    {"CheckBoxProp", 1, 8, 16},   {"CheckBoxFrequenz", 1, 8, 37}, {"CheckBoxRC1", 1, 96, 16},
    {"CheckBoxRC2", 1, 96, 37},   {"CheckBoxRC3", 1, 96, 58},     {"CheckBoxExtra1", 1, 8, 58},
    {"CheckBoxExtra2", 1, 8, 79},
};

struct GpsBox {
  const char* objectName;
  const char* caption;
  const char* hint;
};
constexpr GpsBox kGpsBoxes[kGpsCurveCount] = {
    {"CheckBoxGpsH", "Höhe", "Höhe über Grund"},
    {"CheckBoxGPSV2", "Groundspeed", "Horizontalgeschwindigkeit über Grund"},
    {"CheckBoxGPSV3", "3D-Speed", "Raumgeschwindigkeit über Grund"},
    {"CheckBoxGPSAV", "Air-Speed", "windkompensierte Geschwindigkeit zur der Luft"},
    {"CheckBoxGpsAGL", "H. ü. Grund", "Höhe über Grund (mit Gelände: Datei → Gelände laden…)"},
};

QGroupBox* makeGroup(QWidget* parent, const char* objectName, const char* title, int x, int y, int w, int h) {
  auto* box = new QGroupBox(QString::fromUtf8(title), parent);
  box->setObjectName(QLatin1String(objectName));
  box->setGeometry(x, y - kPanelTop, w, h);
  return box;
}

QLabel* makeLabel(QWidget* parent, const char* objectName, const QString& text, int x, int y, int w) {
  auto* label = new QLabel(text, parent);
  label->setObjectName(QLatin1String(objectName));
  label->setGeometry(x, y, w, 16);
  return label;
}

}  // namespace

// ImageV: shows the chart image and hands the mouse to the chart with the
// buttons held during each event. The replay cursor's mark is drawn on the
// widget above the image, so the image keeps what the chart drew; a middle
// click or Ctrl + left click picks the point under the pointer for it.
class ChartImageView : public ImageView {
 public:
  using Handler = std::function<void(Qt::MouseButtons held, int x, int y)>;
  Handler down, move, up;
  std::function<void()> doubleClick;
  std::function<void(int x)> pick;
  using ImageView::ImageView;

  // Moves the mark to column x (-1: none), repainting only the two columns.
  void setMarkColumn(int x) {
    if (x == mark_) return;
    if (mark_ >= 0) update(mark_, 0, 1, height());
    mark_ = x;
    if (mark_ >= 0) update(mark_, 0, 1, height());
  }
  int markColumn() const { return mark_; }

 protected:
  void paintEvent(QPaintEvent* e) override {
    ImageView::paintEvent(e);
    if (mark_ < 0) return;
    QPainter p(this);
    p.setPen(QColor(255, 128, 0));  // orange: no curve has it
    p.drawLine(mark_, 0, mark_, height() - 1);
  }
  void mousePressEvent(QMouseEvent* e) override {
    const bool picks =
        e->button() == Qt::MiddleButton || (e->button() == Qt::LeftButton && (e->modifiers() & Qt::ControlModifier));
    if (picks && pick) {
      picking_ = true;  // the rest of this gesture is the pick's, not a measurement
      return pick(int(e->position().x()));
    }
    send(down, e);
  }
  void mouseMoveEvent(QMouseEvent* e) override {
    if (e->buttons() != Qt::NoButton && !picking_) send(move, e);
  }
  void mouseReleaseEvent(QMouseEvent* e) override {
    if (picking_) {
      picking_ = e->buttons() != Qt::NoButton;
      return;
    }
    send(up, e);
  }
  // The second press of a double click: the double click, then the press as usual.
  void mouseDoubleClickEvent(QMouseEvent* e) override {
    if (e->button() == Qt::LeftButton && doubleClick) doubleClick();
    send(down, e);
  }

 private:
  int mark_ = -1;
  bool picking_ = false;
  static void send(const Handler& h, QMouseEvent* e) {
    if (h) h(e->buttons(), int(e->position().x()), int(e->position().y()));
  }
};

ChartWindow::ChartWindow(FlightData& data, ChartState& chart, QWidget* parent)
    : QWidget(parent, Qt::Window), core_(std::make_unique<ChartView>(data, chart)), guard_(this) {
  setObjectName(QStringLiteral("FlugverlaufForm"));
  setWindowTitle(QStringLiteral("Flugverlauf"));
  QFont small = font();
  small.setPointSize(8);
  setFont(small);
  guard_.setPresenter([this](const QString& text) {
    errorBoxOpen_ = true;
    showErrorBox(this, text);
    errorBoxOpen_ = false;
    skipActivation_ = true;
  });

  ImageV_ = new ChartImageView(this);
  ImageV_->setObjectName(QStringLiteral("ImageV"));
  ImageV_->setGeometry(kImageLeft, kImageTop, ChartView::kDefaultWidth, ChartView::kDefaultHeight);
  ImageV_->setSource(&core_->image);
  ChartView& c = *core_;
  ImageV_->down = [this, &c](Qt::MouseButtons held, int x, int y) { handle([&] { c.pressMouse(held, x, y); }); };
  ImageV_->move = [this, &c](Qt::MouseButtons held, int x, int y) {
    handle([&] { c.dragMouse(held, x, y); });
    ImageV_->repaint();  // the drag marks follow the pointer at once
  };
  ImageV_->up = [this, &c](Qt::MouseButtons held, int x, int y) { handle([&] { c.releaseMouse(held, x, y); }); };
  ImageV_->doubleClick = [this, &c] { handle([&] { c.doubleClickChart(); }); };

  panel_ = new QWidget(this);
  panel_->setGeometry(0, kPanelTop, kClientWidth, kClientHeight - kPanelTop);
  buildControls(panel_);

  setMinimumSize(kClientWidth, 400);
  resize(kClientWidth, kClientHeight);
  handle([&c] { c.open(); });
}

ChartWindow::~ChartWindow() = default;

QSlider* ChartWindow::makeBar(QWidget* parent, const char* objectName, const char* hint, int min, int max, int x,
                              void (ChartView::*set)(int)) {
  auto* bar = new QSlider(Qt::Vertical, parent);
  bar->setObjectName(QLatin1String(objectName));
  bar->setToolTip(QString::fromUtf8(hint));
  bar->setRange(min, max);
  // Like the bars this window was designed with: the minimum at the top.
  bar->setInvertedAppearance(true);
  bar->setInvertedControls(true);
  bar->setGeometry(x, 16, 24, 84);
  connect(bar, &QSlider::valueChanged, this,
          [this, set](int position) { handle([this, set, position] { (core_.get()->*set)(position); }); });
  return bar;
}

void ChartWindow::buildControls(QWidget* panel) {
  ChartView& c = *core_;

  gpsGroup_ = makeGroup(panel, "GroupBox1", "GPS", 8, 328, 105, 105);
  for (int k = 0; k < kGpsCurveCount; ++k) {
    gpsBox_[k] = new QCheckBox(QString::fromUtf8(kGpsBoxes[k].caption), gpsGroup_);
    gpsBox_[k]->setObjectName(QLatin1String(kGpsBoxes[k].objectName));
    gpsBox_[k]->setToolTip(QString::fromUtf8(kGpsBoxes[k].hint));
    gpsBox_[k]->setGeometry(8, 16 + 17 * k, 95, 18);
    connect(gpsBox_[k], &QCheckBox::clicked, this,
            [this, &c, k](bool ticked) { handle([&c, k, ticked] { c.setGpsTicked(k, ticked); }); });
  }

  GroupBoxWind_ = makeGroup(panel, "GroupBoxWind", "Wind", 120, 328, 113, 105);
  TrackBarWindRichtung_ = makeBar(GroupBoxWind_, "TrackBarWindRichtung", "Windrichtung", 0, kWindDirectionMax, 6,
                                  &ChartView::setWindDirectionPosition);
  TrackBarWindSpeed_ =
      makeBar(GroupBoxWind_, "TrackBarWindSpeed", "Windstärke", 0, kWindSpeedMax, 34, &ChartView::setWindSpeedPosition);
  LabelWindrichtung_ = makeLabel(GroupBoxWind_, "LabelWindrichtung", {}, 62, 32, 48);
  LabelWindstaerke_ = makeLabel(GroupBoxWind_, "LabelWindstaerke", {}, 62, 64, 48);
  // On the panel over the wind group, so it can be chosen while the group
  // (shown with Air-Speed only) is hidden.
  windEstimatedBox_ = new QCheckBox(QStringLiteral("geschätzt"), panel);
  windEstimatedBox_->setObjectName(QStringLiteral("CheckBoxWindGeschaetzt"));
  windEstimatedBox_->setToolTip(
      QStringLiteral("Wind aus dem Kreisen geschätzt, je Punkt die zeitlich nächste Schätzung"));
  // The box shares the group with the two bars: its caption takes the font
  // size that lets it fit whole beside them.
  constexpr int kEstimatedLeft = 56, kEstimatedWidth = 55;
  QFont small = windEstimatedBox_->font();
  small.setPointSizeF(small.pointSizeF() * 0.8);
  windEstimatedBox_->setFont(small);
  while (windEstimatedBox_->sizeHint().width() > kEstimatedWidth && small.pointSizeF() > 5) {
    small.setPointSizeF(small.pointSizeF() - 0.25);
    windEstimatedBox_->setFont(small);
  }
  windEstimatedBox_->setGeometry(120 + kEstimatedLeft, 328 - kPanelTop + 84, kEstimatedWidth, 18);
  windEstimatedBox_->raise();
  connect(windEstimatedBox_, &QCheckBox::clicked, this,
          [this, &c](bool ticked) { handle([&c, ticked] { c.setWindEstimated(ticked); }); });

  QGroupBox* temperature = makeGroup(panel, "GroupBox4", "Temperatur", 240, 328, 81, 105);
  TrackBarTemp_ =
      makeBar(temperature, "TrackBarTemp", "", kTempBarMin, kTempBarMax, 6, &ChartView::setTemperaturePosition);
  LabelTemp_ = makeLabel(temperature, "LabelTemp", {}, 38, 48, 40);

  QGroupBox* groups[2] = {makeGroup(panel, "GroupBox2", "ADCs", 328, 328, 161, 105),
                          makeGroup(panel, "GroupBox3", "Misc.", 496, 328, 161, 105)};
  for (int k = 0; k < kChannelCount; ++k) {
    const BoxPlace& place = kChannelBoxes[k];
    channelBox_[k] = new QCheckBox(c.controls.channelCaption[k], groups[place.group]);
    channelBox_[k]->setObjectName(QLatin1String(place.objectName));
    channelBox_[k]->setGeometry(place.x, place.y, place.x == 8 ? 86 : 62, 20);
    connect(channelBox_[k], &QCheckBox::clicked, this,
            [this, &c, k](bool ticked) { handle([&c, k, ticked] { c.setChannelTicked(k, ticked); }); });
  }

  QGroupBox* scale = makeGroup(panel, "RadioGroupScale", "Maßstab", 664, 328, 113, 49);
  const char* const items[2] = {"einheitlich", "individuell"};
  for (int k = 0; k < 2; ++k) {
    scaleItem_[k] = new QRadioButton(QLatin1String(items[k]), scale);
    scaleItem_[k]->setGeometry(8, 14 + 16 * k, 100, 16);
    connect(scaleItem_[k], &QRadioButton::clicked, this, [this, &c, k] { handle([&c, k] { c.setScaleIndex(k); }); });
  }

  allFlightsBox_ = new QCheckBox(QStringLiteral("Alle Flüge"), panel);
  allFlightsBox_->setObjectName(QStringLiteral("AllFlightsCheckBox"));
  allFlightsBox_->setToolTip(QStringLiteral("die Höhen aller gezeigten Flüge auf der gemeinsamen Zeitachse"));
  allFlightsBox_->setGeometry(8, 435 - kPanelTop, 95, 18);  // under the GPS group
  connect(allFlightsBox_, &QCheckBox::clicked, this,
          [this, &c](bool ticked) { handle([&c, ticked] { c.setAllFlightsTicked(ticked); }); });
  ZoomCheckBox_ = new QCheckBox(QStringLiteral("Zoom Auswahl"), panel);
  ZoomCheckBox_->setObjectName(QStringLiteral("ZoomCheckBox"));
  ZoomCheckBox_->setGeometry(672, 384 - kPanelTop, 105, 20);
  connect(ZoomCheckBox_, &QCheckBox::clicked, this,
          [this, &c](bool ticked) { handle([&c, ticked] { c.setZoomTicked(ticked); }); });

  closeButton_ = new QPushButton(QStringLiteral("Schließen"), panel);
  closeButton_->setObjectName(QStringLiteral("Button1"));
  closeButton_->setGeometry(664, 408 - kPanelTop, 75, 25);
  connect(closeButton_, &QPushButton::clicked, this, &QWidget::close);

  // Three columns of figures, each as wide as its longest text: "max: " and
  // "max1: " with 15 significant digits, sign and exponent; "maxmax: " with a
  // row count.
  const QFontMetrics metrics(panel->font());
  const QString longestFigure = formatGeneral(-1.23456789012345e-300);
  const int widths[3] = {metrics.horizontalAdvance(QStringLiteral("max: ") + longestFigure) + 4,
                         metrics.horizontalAdvance(QStringLiteral("maxmax: -2147483648")) + 4,
                         metrics.horizontalAdvance(QStringLiteral("max1: ") + longestFigure) + 4};
  int left = 48;
  for (int column = 0; column < 3; ++column) {
    for (int row = 0; row < 2; ++row) {
      const int k = 2 * column + row;
      Label_[k] = makeLabel(panel, QStringLiteral("Label%1").arg(k + 1).toLatin1().constData(), c.controls.Label[k],
                            left, 456 + 24 * row - kPanelTop, widths[column]);
    }
    left += widths[column] + 8;
  }
}

void ChartWindow::handle(const std::function<void()>& handler) {
  guard_.run(handler);
  showState();
}

void ChartWindow::showState() {
  const ChartControls& s = core_->controls;
  auto setChecked = [](QAbstractButton* box, bool ticked) {
    const QSignalBlocker block(box);
    box->setChecked(ticked);
  };
  auto setPosition = [](QSlider* bar, int position) {
    const QSignalBlocker block(bar);
    bar->setValue(position);
  };
  gpsGroup_->setEnabled(s.gpsGroupEnabled);
  for (int k = 0; k < kGpsCurveCount; ++k) setChecked(gpsBox_[k], s.gpsTicked[k]);
  for (int k = 0; k < kChannelCount; ++k) {
    setChecked(channelBox_[k], s.channelTicked[k]);
    channelBox_[k]->setEnabled(s.channelEnabled[k]);
    channelBox_[k]->setText(s.channelCaption[k]);
  }
  setChecked(scaleItem_[s.scaleIndex], true);
  setChecked(ZoomCheckBox_, s.zoomTicked);
  setChecked(allFlightsBox_, s.allFlightsTicked);
  allFlightsBox_->setVisible(bool(core_->otherHeights));
  ZoomCheckBox_->setEnabled(s.zoomEnabled);
  setPosition(TrackBarWindRichtung_, s.windDirectionPosition);
  setPosition(TrackBarWindSpeed_, s.windSpeedPosition);
  setPosition(TrackBarTemp_, s.temperaturePosition);
  GroupBoxWind_->setVisible(s.windGroupVisible);
  LabelWindrichtung_->setText(s.LabelWindrichtung);
  LabelWindstaerke_->setText(s.LabelWindstaerke);
  setChecked(windEstimatedBox_, s.windEstimated);
  LabelTemp_->setText(s.LabelTemp);
  for (int k = 0; k < 6; ++k) Label_[k]->setText(s.Label[k]);
  ImageV_->update();
  showCursor(cursorPlaced_);
}

void ChartWindow::showCursor(bool placed) {
  cursorPlaced_ = placed;
  ImageV_->setMarkColumn(placed ? core_->pointColumn(core_->data.CursorPoint) : -1);
}

int ChartWindow::cursorMarkColumn() const { return ImageV_->markColumn(); }

void ChartWindow::setCursorPicker(std::function<void(int32_t point)> pick) {
  ImageV_->pick = [this, pick = std::move(pick)](int x) { pick(core_->columnPoint(x)); };
}

void ChartWindow::setPictureSaver(std::function<void(const QImage&)> save) {
  auto* action = new QAction(QStringLiteral("Bild speichern…"), this);
  action->setObjectName(QStringLiteral("BildSpeichern1"));
  action->setShortcut(QKeySequence::Save);
  connect(action, &QAction::triggered, this, [this, save = std::move(save)] { save(core_->image); });
  addAction(action);
  // The image's right button selects a section: the menu belongs to the rest of the window.
  panel_->setContextMenuPolicy(Qt::ActionsContextMenu);
  panel_->addAction(action);
}

// FormActivate: the chart follows what other windows changed.
void ChartWindow::changeEvent(QEvent* e) {
  QWidget::changeEvent(e);
  if (e->type() != QEvent::ActivationChange) return;
  if (!isActiveWindow()) {
    if (!errorBoxOpen_) skipActivation_ = false;
    return;
  }
  if (errorBoxOpen_ || skipActivation_) {
    skipActivation_ = false;
    return;
  }
  handle([this] { core_->FormActivate(); });
}

// The chart image follows the window; the controls stay below it.
void ChartWindow::resizeEvent(QResizeEvent* e) {
  QWidget::resizeEvent(e);
  const int w = std::max(ChartView::kMinWidth, width() - kImageMargin);
  const int h = std::max(ChartView::kMinHeight, height() - kBelowImage);
  ImageV_->setGeometry(kImageLeft, kImageTop, w, h);
  panel_->move(0, kPanelTop + (height() - kClientHeight));
  if (core_->image.size() != QSize(w, h)) handle([this, w, h] { core_->resizeImage(w, h); });
}

}  // namespace trelvano
