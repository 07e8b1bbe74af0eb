#include "app/TForm1.h"

#include "ui/widgets/ImageView.h"
#include "ui/widgets/QtFileDialogs.h"

#include <QAction>
#include <QApplication>
#include <QEvent>
#include <QGroupBox>
#include <QLabel>
#include <QMenuBar>
#include <QMessageBox>
#include <QMouseEvent>
#include <QSlider>
#include <QSpinBox>
#include <QStatusBar>
#include <QTimer>
#include <QToolButton>

#include <algorithm>
#include <limits>

namespace {

constexpr int kImageLeft = 128;
constexpr int kImageTop = 16;

QLabel* makeLabel(QWidget* parent, const char* objectName, const QString& text, int x, int y, int w = 95) {
  auto* label = new QLabel(text, parent);
  if (objectName) label->setObjectName(QLatin1String(objectName));
  label->setGeometry(x, y, w, 14);
  return label;
}

// Filters focus-in events of the track bar into its Enter handler.
class FocusInFilter : public QObject {
 public:
  FocusInFilter(QObject* parent, std::function<void()> onFocus) : QObject(parent), onFocus_(std::move(onFocus)) {}
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::FocusIn) onFocus_();
    return QObject::eventFilter(watched, event);
  }

 private:
  std::function<void()> onFocus_;
};

// Hands the mouse moves of a label to the 3D view's move handler, in the
// label's own coordinates (the "Entfernung:" label shares that handler).
class MouseMoveForwarder : public QObject {
 public:
  MouseMoveForwarder(QObject* parent, std::function<void(Qt::MouseButtons, int, int)> onMove)
      : QObject(parent), onMove_(std::move(onMove)) {}
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::MouseMove) {
      const auto* m = static_cast<QMouseEvent*>(event);
      onMove_(m->buttons(), int(m->position().x()), int(m->position().y()));
    }
    return QObject::eventFilter(watched, event);
  }

 private:
  std::function<void(Qt::MouseButtons, int, int)> onMove_;
};

}  // namespace

TForm1::TForm1(std::unique_ptr<FileDialogs> dialogs, QWidget* parent)
    : QMainWindow(parent),
      dialogs_(dialogs ? std::move(dialogs) : std::make_unique<QtFileDialogs>(this)),
      core_(std::make_unique<MainController>(*dialogs_)),
      guard_(this) {
  setObjectName(QStringLiteral("Form1"));
  setWindowTitle(QStringLiteral("Trelvano 0.44  (NG)"));
  QFont small = font();
  small.setPointSize(8);
  setFont(small);

  auto* central = new QWidget(this);
  setCentralWidget(central);

  Image1_ = new ImageView(central);
  Image1_->setObjectName(QStringLiteral("Image1"));
  Image1_->setToolTip(QStringLiteral("klicken und ziehen"));
  Image1_->setGeometry(kImageLeft, kImageTop, View3D::kDefaultWidth, View3D::kDefaultHeight);
  Image1_->setSource(&core_->view.BackBuffer);
  View3D& view = core_->view;
  const auto mouseMove = [this, &view](Qt::MouseButtons held, int x, int y) {
    const bool left = held & Qt::LeftButton, right = held & Qt::RightButton;
    if (left || right) handle([&] { view.Image1MouseMove(left, right, x, y); });
  };
  Image1_->setMouseHandlers({
      [this, &view](Qt::MouseButton, int x, int y) { handle([&] { view.Image1MouseDown(x, y); }); },
      mouseMove,
      [this, &view](Qt::MouseButton, int, int) { handle([&] { view.Image1MouseUp(); }); },
  });

  HLabel_ = makeLabel(central, "HLabel", core_->state.hLabel, 16, 440, 110);

  buildPanels(central);
  entfernungLabel_->installEventFilter(new MouseMoveForwarder(entfernungLabel_, mouseMove));
  buildTrackPanel(central);

  Image2_ = new ImageView(central);
  Image2_->setObjectName(QStringLiteral("Image2"));
  Image2_->setGeometry(kImageLeft, 424, 289, 33);
  Image2_->setSource(&core_->panels.Image2);
  Image2_->hide();

  // The camera's integer holders: never shown, kept for their names.
  static const char* const kSpinLabels[5] = {"Z", "X", "Y", "A", "E"};
  for (int k = 0; k < 6; ++k) {
    SpinEdit_[k] = new QSpinBox(central);
    SpinEdit_[k]->setObjectName(QStringLiteral("SpinEdit%1").arg(k + 1));
    SpinEdit_[k]->setRange(std::numeric_limits<int>::min(), std::numeric_limits<int>::max());
    SpinEdit_[k]->setEnabled(false);
    SpinEdit_[k]->hide();
    if (k < 5) makeLabel(central, nullptr, QLatin1String(kSpinLabels[k]), 0, 0, 10)->hide();
  }

  Timer1_ = makeTimer("Timer1", 100, &SidePanels::timer1Enabled, &MainController::Timer1Timer);
  Timer2_ = makeTimer("Timer2", 200, &SidePanels::timer2Enabled, &MainController::Timer2Timer);

  // A permanent panel rather than a status message, so the menu's hover tips
  // do not wipe the file name.
  statusBar()->setObjectName(QStringLiteral("StatusBar1"));
  statusPanel_ = new QLabel(statusBar());
  statusPanel_->setObjectName(QStringLiteral("StatusBar1Panel"));
  statusBar()->addWidget(statusPanel_, 1);
  buildMenus();
  setMinimumSize(420, 330);
  resize(800, 520);
  showState();
}

TForm1::~TForm1() = default;

// A tick that fails stops its timer: one error box, not ten a second.
QTimer* TForm1::makeTimer(const char* objectName, int intervalMs, bool SidePanels::*enabled,
                          void (MainController::*tick)()) {
  auto* timer = new QTimer(this);
  timer->setObjectName(QLatin1String(objectName));
  timer->setInterval(intervalMs);
  connect(timer, &QTimer::timeout, this, [this, enabled, tick] {
    if (!guard_.run([this, tick] { (core_.get()->*tick)(); })) core_->panels.*enabled = false;
    showState();
  });
  return timer;
}

QAction* TForm1::addItem(QMenu* menu, const char* objectName, const QString& caption,
                         std::function<void()> handler) {
  QAction* action = menu->addAction(caption);
  if (objectName) action->setObjectName(QLatin1String(objectName));
  if (handler) connect(action, &QAction::triggered, this, [this, handler] { handle(handler); });
  return action;
}

void TForm1::buildMenus() {
  MainController& c = *core_;
  View3D& v = c.view;
  const QString dashes20 = QStringLiteral("--------------------");
  const QString dashes25 = QStringLiteral("-------------------------");

  QMenu* datei = menuBar()->addMenu(QStringLiteral("Datei"));
  datei->setObjectName(QStringLiteral("Datei1"));
  addItem(datei, "igcffnen1", QStringLiteral("*.igc Öffnen"), [&c] { c.igcffnen1Click(); });
  addItem(datei, "Darstellung1", QStringLiteral("*.csv Öffnen"), [&c] { c.Darstellung1Click(); });
  addItem(datei, "Karteladen1", QStringLiteral("Pixel-Karte laden"), [&c] { c.Karteladen1Click(); });
  addItem(datei, "Mapladen1", QStringLiteral("Vektor-Karte laden"), [&c] { c.Mapladen1Click(); });
  addItem(datei, nullptr, dashes20);
  addItem(datei, "Ende1", QStringLiteral("Ende"), [this] { Ende1Click(); });

  QMenu* darstellung = menuBar()->addMenu(QStringLiteral("Darstellung"));
  darstellung->setObjectName(QStringLiteral("Darstellung2"));
  auto layerItem = [&](const char* name, const char* caption, bool Layers::*item) {
    QAction* a = addItem(darstellung, name, QString::fromUtf8(caption), [&v, item] { v.toggleLayer(item); });
    a->setCheckable(true);
    layerItem_.emplace_back(item, a);
    return a;
  };
  layerItem("Cokpit1", "Flugweg zentrieren", &Layers::Cokpit);
  addItem(darstellung, nullptr, dashes25);
  layerItem("Flugbahn1", "Flugbahn", &Layers::Flugbahn);
  layerItem("Schatten1", "Schatten", &Layers::Schatten);
  layerItem("NordPfeil1", "NordPfeil", &Layers::NordPfeil);
  layerItem("Gitter1", "Gitter", &Layers::Gitter);
  layerItem("Lot1", "Lot", &Layers::Lot);
  layerItem("Karte1", "Karte", &Layers::Karte);
  layerItem("VectorKarte1", "Vektor-Karte", &Layers::VectorKarte);
  layerItem("Startkoordinaten1", "Startkoordinaten", &Layers::Startkoordinaten);
  addItem(darstellung, nullptr, dashes25);
  addItem(darstellung, "Optionen1", QStringLiteral("Optionen"))->setEnabled(false);

  QMenu* overlay = menuBar()->addMenu(QStringLiteral("Overlay"));
  overlay->setObjectName(QStringLiteral("Overlay1"));
  static const char* const kOverlayNames[6] = {"BlauRot1", "Geschwindigkeit1", "Flugweg1",
                                               "N25mSchichten1", "Energie1", "Energiezuwachs1"};
  static const char* const kOverlayCaptions[6] = {"Flugrichtung", "Geschwindigkeit", "Flugweg",
                                                  "25m-Schichten", "Energie", "Energiezuwachs"};
  for (int k = 0; k < 6; ++k) {
    overlayItem_[k] = addItem(overlay, kOverlayNames[k], QString::fromUtf8(kOverlayCaptions[k]),
                              [&c, k] { c.overlayItemClick(k + 1); });
    overlayItem_[k]->setCheckable(true);
  }

  QMenu* navigation = menuBar()->addMenu(QStringLiteral("Navigation"));
  navigation->setObjectName(QStringLiteral("Navigation1"));
  addItem(navigation, "Ausgangsposition1", QStringLiteral("Ausgangsposition der Kamera"),
          [&v] { v.Ausgangsposition1Click(); });
  addItem(navigation, "StartpunktindieMitte1", QStringLiteral("Kameramitte auf den Startpunkt richten"),
          [&v] { v.StartpunktindieMitte1Click(); });
  addItem(navigation, "AutoZoomout1", QStringLiteral("Auto-Zoom-out"), [&v] { v.Autozoom(); });
  addItem(navigation, "StartpunktdesFlugzeugeshierhersetzen1",
          QStringLiteral("Startpunkt des Flugzeuges an Begin des Ausschnitts setzen"),
          [&c] { c.StartpunktdesFlugzeugeshierhersetzen1Click(); });
  addItem(navigation, "StartpunktdesFlugzeugsandenBeginderAufzeicvhnungensetzen1",
          QStringLiteral("Startpunkt des Flugzeuges an den Anfang der Aufzeichnungen setzen"),
          [&c] { c.StartpunktdesFlugzeugsandenBeginderAufzeicvhnungensetzen1Click(); });

  QMenu* parameter = menuBar()->addMenu(QStringLiteral("Parameter"));
  parameter->setObjectName(QStringLiteral("Parameter1"));
  addItem(parameter, "Editieren1", QStringLiteral("Editor"))->setEnabled(false);
  addItem(parameter, "laden1", QStringLiteral("laden"), [&c] { c.laden1Click(); });
  addItem(parameter, "speichern1", QStringLiteral("speichern"), [&c] { c.speichern1Click(); });
  Grafik1_ = addItem(parameter, "Grafik1", QStringLiteral("Grafik"));
  Grafik1_->setEnabled(false);

  QMenu* info = menuBar()->addMenu(QStringLiteral("Info"));
  info->setObjectName(QStringLiteral("Info1"));
  addItem(info, "berTrelvano1", QStringLiteral("über Trelvano"), [this] { berTrelvano1Click(); });
}

void TForm1::buildPanels(QWidget* central) {
  NavGroupBox_ = new QGroupBox(QStringLiteral("Navigation"), central);
  NavGroupBox_->setObjectName(QStringLiteral("NavGroupBox"));
  NavGroupBox_->setGeometry(8, 8, 105, 145);
  static const char* const kNavCaptions[5] = {"Entfernung:", "Höhe:", "V [m/s]:", "Vario:", "Flugzeit:"};
  static const char* const kNavValues[5] = {"Label9", "Label10", "Label11", "Label13", "Label15"};
  for (int k = 0; k < 5; ++k) {
    QLabel* caption = makeLabel(NavGroupBox_, nullptr, QString::fromUtf8(kNavCaptions[k]), 6, 16 + 25 * k);
    if (k == 0) entfernungLabel_ = caption;
    navValue_[k] = makeLabel(NavGroupBox_, kNavValues[k], QStringLiteral("0"), 16, 28 + 25 * k, 85);
  }

  InfoGroupBox_ = new QGroupBox(QStringLiteral("Info"), central);
  InfoGroupBox_->setObjectName(QStringLiteral("InfoGroupBox"));
  InfoGroupBox_->setGeometry(8, 160, 105, 265);
  static const char* const kInfoCaptions[6] = {"Flugdauer:", "Maximalhöhe:", "Max.Groundspeed:",
                                               "Max.Airspeed:", "Nord-Süd-Weg:", "Ost-West-Weg:"};
  static const char* const kInfoValues[6] = {"LabelDauer", "LabelHmax", "LabelVmax",
                                             "LabelVmax3", "LabelNS", "LabelOW"};
  for (int k = 0; k < 6; ++k) {
    makeLabel(InfoGroupBox_, nullptr, QString::fromUtf8(kInfoCaptions[k]), 4, 20 + 40 * k, 100);
    infoValue_[k] = makeLabel(InfoGroupBox_, kInfoValues[k], QStringLiteral("0"), 16, 36 + 40 * k, 85);
  }

  static const char* const kCaptionNames[13] = {"LabelADC16S", "LabelADC0S", "LabelADC1s", "LabelADC2s",
                                                "LabelADC3s", "LabelADC4s", "LabelSpeeds", "LabelFrequenzs",
                                                "LabelRC1s", "LabelRC2s", "LabelRC3s", "LabelZ1s", "LabelZ2s"};
  static const char* const kValueNames[13] = {"LabelADC16", "LabelADC0", "LabelADC1", "LabelADC2",
                                              "LabelADC3", "LabelADC4", "LabelSpeed", "LabelFrequenz",
                                              "LabelRC1", "LabelRC2", "LabelRC3", "LabelEx1", "LabelEx2"};
  ADCGroupBox_ = new QGroupBox(QStringLiteral("ADCs"), central);
  ADCGroupBox_->setObjectName(QStringLiteral("ADCGroupBox"));
  ADCGroupBox_->setGeometry(8, 160, 105, 113);
  MiscGroupBox_ = new QGroupBox(QStringLiteral("Misc."), central);
  MiscGroupBox_->setObjectName(QStringLiteral("MiscGroupBox"));
  MiscGroupBox_->setGeometry(8, 288, 105, 137);
  for (int k = 0; k < 13; ++k) {
    QGroupBox* box = k < 6 ? ADCGroupBox_ : MiscGroupBox_;
    const int row = k < 6 ? k : k - 6;
    channelCaption_[k] = makeLabel(box, kCaptionNames[k], core_->panels.channelCaption[k], 6, 17 + 15 * row, 48);
    channelValue_[k] = makeLabel(box, kValueNames[k], QStringLiteral("0"), 54, 17 + 15 * row, 48);
  }
}

void TForm1::buildTrackPanel(QWidget* central) {
  TrackPanel_ = new QWidget(central);
  TrackPanel_->setObjectName(QStringLiteral("TrackPanel"));
  TrackPanel_->setGeometry(kImageLeft, 424, 641, 25);
  static const char* const kHints[4] = {"ab Anfang anzeigen", "ab hier anzeigen", "bis hier anzeigen",
                                        "bis ende anzeigen"};
  static const char* const kGlyphs[4] = {"|<", "[", "]", ">|"};
  for (int k = 0; k < 4; ++k) {
    SpeedButton_[k] = new QToolButton(TrackPanel_);
    SpeedButton_[k]->setObjectName(QStringLiteral("SpeedButton%1").arg(k + 1));
    SpeedButton_[k]->setToolTip(QString::fromUtf8(kHints[k]));
    SpeedButton_[k]->setText(QLatin1String(kGlyphs[k]));
    SpeedButton_[k]->setFocusPolicy(Qt::NoFocus);
    connect(SpeedButton_[k], &QToolButton::clicked, this,
            [this, k] { handle([this, k] { core_->SpeedButtonClick(k + 1); }); });
  }
  TrackBar1_ = new QSlider(Qt::Horizontal, TrackPanel_);
  TrackBar1_->setObjectName(QStringLiteral("TrackBar1"));
  TrackBar1_->setRange(0, kTrackBarMax);
  TrackBar1_->setToolTip(QStringLiteral("momentaner Flugpunkt"));
  TrackBar1_->setFocusPolicy(Qt::StrongFocus);
  auto enter = [this] { handle([this] { core_->TrackBar1Enter(); }); };
  TrackBar1_->installEventFilter(new FocusInFilter(TrackBar1_, enter));
  connect(TrackBar1_, &QSlider::sliderPressed, this, enter);
  connect(TrackBar1_, &QSlider::valueChanged, this,
          [this](int position) { handle([this, position] { core_->TrackBar1Change(position); }); });
  TrackPanel_->hide();
}

QAction* TForm1::layerAction(bool Layers::*item) const {
  for (const auto& [member, action] : layerItem_)
    if (member == item) return action;
  return nullptr;
}

void TForm1::FormCreate(const QString& defaultParPath) {
  handle([&] { core_->formCreate(defaultParPath); });
}

void TForm1::handle(const std::function<void()>& handler) {
  guard_.run(handler);
  showState();
}

void TForm1::showState() {
  const MainController& c = *core_;
  const SidePanels& p = c.panels;
  const Layers& layers = c.view.layers;

  statusPanel_->setText(c.state.statusText);
  HLabel_->setText(c.state.hLabel);
  Grafik1_->setVisible(c.state.grafikVisible);

  for (const auto& [item, action] : layerItem_) action->setChecked(layers.*item);
  layerAction(&Layers::Karte)->setVisible(layers.KarteVisible);
  layerAction(&Layers::VectorKarte)->setVisible(layers.VectorKarteVisible);
  for (int k = 0; k < 6; ++k) overlayItem_[k]->setChecked(p.overlayChecked[k]);

  InfoGroupBox_->setVisible(p.infoVisible);
  NavGroupBox_->setVisible(p.navVisible);
  ADCGroupBox_->setVisible(p.adcVisible);
  MiscGroupBox_->setVisible(p.miscVisible);
  TrackPanel_->setVisible(p.trackPanelVisible);
  Image2_->setVisible(p.image2Visible);
  if (p.image2Visible) {
    Image2_->resize(p.Image2.size());
    Image2_->update();
  }

  for (int k = 0; k < 5; ++k) navValue_[k]->setText(p.nav[k]);
  for (int k = 0; k < 6; ++k) infoValue_[k]->setText(p.info[k]);
  for (int k = 0; k < 13; ++k) {
    channelCaption_[k]->setText(p.channelCaption[k]);
    channelValue_[k]->setText(p.channelValue[k]);
    channelValue_[k]->setVisible(p.channelValueVisible[k]);
  }

  if (TrackBar1_->value() != p.trackBarPosition) {
    const QSignalBlocker block(TrackBar1_);
    TrackBar1_->setValue(p.trackBarPosition);
  }
  for (int k = 0; k < 6; ++k) SpinEdit_[k]->setValue(c.view.spinEdit(k + 1));

  if (p.timer1Enabled != Timer1_->isActive()) p.timer1Enabled ? Timer1_->start() : Timer1_->stop();
  if (p.timer2Enabled != Timer2_->isActive()) p.timer2Enabled ? Timer2_->start() : Timer2_->stop();

  if (c.view.redrawCount() != shownRedraws_) {
    shownRedraws_ = c.view.redrawCount();
    if (Image1_->size() != c.view.BackBuffer.size()) Image1_->resize(c.view.BackBuffer.size());
    Image1_->update();
  }
}

// The 3D view follows the window: the picture keeps its place and grows and
// shrinks with it; the replay bar, legend and altitude label stay below it.
void TForm1::FormResize() {
  if (!centralWidget()) return;
  const int w = std::max(50, width() - 150);
  const int h = std::max(50, height() - 130);
  Image1_->setGeometry(kImageLeft, kImageTop, w, h);
  const int panelTop = kImageTop + h + 8;
  TrackPanel_->setGeometry(kImageLeft, panelTop, w, 25);
  const int button = 23;
  SpeedButton_[0]->setGeometry(0, 1, button, 22);
  SpeedButton_[1]->setGeometry(button, 1, button, 22);
  TrackBar1_->setGeometry(2 * button + 10, 1, std::max(20, w - 20 - 4 * button), 22);
  SpeedButton_[3]->setGeometry(w - button, 1, button, 22);
  SpeedButton_[2]->setGeometry(w - 2 * button, 1, button, 22);
  Image2_->move(kImageLeft, panelTop + 5);
  HLabel_->move(16, panelTop + 16);
  if (core_->view.BackBuffer.size() != QSize(w, h)) handle([&] { core_->view.resizeImage(w, h); });
}

void TForm1::resizeEvent(QResizeEvent* e) {
  QMainWindow::resizeEvent(e);
  FormResize();
}

// FormActivate: the window comes to the front, the 3D view is redrawn.
void TForm1::changeEvent(QEvent* e) {
  QMainWindow::changeEvent(e);
  if (e->type() == QEvent::ActivationChange && isActiveWindow()) handle([this] { core_->view.Grafikupdate(); });
}

void TForm1::showEvent(QShowEvent* e) {
  QMainWindow::showEvent(e);
  handle([this] { core_->view.Grafikupdate(); });
}

void TForm1::Ende1Click() {
  close();
  QApplication::quit();
}

void TForm1::berTrelvano1Click() {
  QMessageBox::about(this, QStringLiteral("über Trelvano"),
                     QStringLiteral("<b>Trelvano 0.44 (NG)</b><p>Zeigt die Aufzeichnungen eines "
                                    "Flugdatenloggers: IGC-Flüge und Logger-Dateien als 3D-Flugbahn, "
                                    "mit Overlays, Wiedergabe und Statistik.</p>"));
}
