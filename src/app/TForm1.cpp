#include "app/TForm1.h"

#include "ParamEdit/TParamForm.h"
#include "hopt/TOptForm.h"
#include "Verlauf/TFlugverlaufForm.h"
#include "app/FlightPhasesWindow.h"
#include "app/RecentFilesMenu.h"
#include "app/ReplayControls.h"
#include "overlay/ReplayControl.h"
#include "ui/widgets/ImageView.h"
#include "ui/widgets/QtFileDialogs.h"
#include "ui/widgets/TrackBarInput.h"

#include <QAction>
#include <QApplication>
#include <QDropEvent>
#include <QEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenuBar>
#include <QMimeData>
#include <QUrl>
#include <QMessageBox>
#include <QMouseEvent>
#include <QSettings>
#include <QSlider>
#include <QSpinBox>
#include <QStatusBar>
#include <QTimer>
#include <QToolButton>

#include <algorithm>
#include <limits>

namespace {

// The smallest 3D view: the legend below it still fits.
constexpr int kMinViewWidth = 300;
constexpr int kMinViewHeight = 200;

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

QStringList localFiles(const QMimeData* mime) {
  QStringList files;
  if (mime)
    for (const QUrl& url : mime->urls())
      if (url.isLocalFile()) files << url.toLocalFile();
  return files;
}

}  // namespace

TForm1::TForm1(std::unique_ptr<FileDialogs> dialogs, QWidget* parent)
    : QMainWindow(parent),
      dialogs_(dialogs ? std::move(dialogs) : std::make_unique<QtFileDialogs>(this)),
      core_(std::make_unique<MainController>(*dialogs_)),
      guard_(this) {
  setObjectName(QStringLiteral("Form1"));
  setAcceptDrops(true);
  QFont small = font();
  small.setPointSize(8);
  setFont(small);

  auto* central = new QWidget(this);
  setCentralWidget(central);

  const auto mouseMove = buildView3D(central);
  side_ = buildSideColumn(central, core_->panels, core_->state.hLabel);
  side_.entfernungLabel->installEventFilter(new MouseMoveForwarder(side_.entfernungLabel, mouseMove));

  // The replay bar and the legend share the place below the 3D view, which
  // stays reserved while both are hidden, so the view keeps its size.
  auto* below = new QWidget(central);
  auto* belowLayout = new QGridLayout(below);
  belowLayout->setContentsMargins(0, 0, 0, 0);
  buildTrackPanel(below);
  belowLayout->addWidget(TrackPanel_, 0, 0, Qt::AlignTop);
  Image2_ = new ImageView(below);
  Image2_->setObjectName(QStringLiteral("Image2"));
  Image2_->setSource(&core_->panels.Image2);
  Image2_->setFixedSize(core_->panels.Image2.size());
  Image2_->hide();
  belowLayout->addWidget(Image2_, 0, 0, Qt::AlignLeft | Qt::AlignTop);
  below->setFixedHeight(std::max(TrackPanel_->sizeHint().height(), Image2_->height()));
  below->setMinimumWidth(Image2_->width());

  auto* grid = new QGridLayout(central);
  grid->setContentsMargins(8, 8, 8, 4);
  grid->setHorizontalSpacing(15);
  grid->setVerticalSpacing(8);
  grid->addWidget(side_.widget, 0, 0, 2, 1);
  grid->addWidget(Image1_, 0, 1);
  grid->addWidget(below, 1, 1);
  grid->setColumnStretch(1, 1);
  grid->setRowStretch(0, 1);

  // The camera's integer holders: never shown, kept for their names.
  static const char* const kSpinLabels[5] = {"Z", "X", "Y", "A", "E"};
  for (int k = 0; k < 6; ++k) {
    SpinEdit_[k] = new QSpinBox(central);
    SpinEdit_[k]->setObjectName(QStringLiteral("SpinEdit%1").arg(k + 1));
    SpinEdit_[k]->setRange(std::numeric_limits<int>::min(), std::numeric_limits<int>::max());
    SpinEdit_[k]->setEnabled(false);
    SpinEdit_[k]->hide();
    if (k < 5) (new QLabel(QLatin1String(kSpinLabels[k]), central))->hide();
  }

  Timer1_ = makeTimer("Timer1", 100, &SidePanels::timer1Enabled, &MainController::Timer1Timer);
  Timer2_ = makeTimer("Timer2", 200, &SidePanels::timer2Enabled, &MainController::Timer2Timer);

  // A permanent panel rather than a status message, so the menu's hover tips
  // do not wipe the file name.
  statusBar()->setObjectName(QStringLiteral("StatusBar1"));
  statusPanel_ = new QLabel(statusBar());
  statusPanel_->setObjectName(QStringLiteral("StatusBar1Panel"));
  statusBar()->addWidget(statusPanel_, 1);
  replayStatus_ = new QLabel(statusBar());
  replayStatus_->setObjectName(QStringLiteral("ReplayStatus"));
  statusBar()->addPermanentWidget(replayStatus_);
  buildMenus();
  watchReplayKeys(
      this, [this] { handle([this] { toggleReplayHold(core_->panels); }); },
      [this](int direction) {
        handle([this, direction] { stepReplayCursor(core_->data, core_->view, core_->panels, direction); });
      });
  openAtDesignSize(*grid, below->height());
  showState();
}

// Image1, the 3D view: mouse drags, wheel and arrow keys move the camera; its
// picture follows the widget's size. Returns the mouse-move handler, which
// the "Entfernung:" label shares.
std::function<void(Qt::MouseButtons, int, int)> TForm1::buildView3D(QWidget* parent) {
  Image1_ = new ImageView(parent);
  Image1_->setObjectName(QStringLiteral("Image1"));
  Image1_->setToolTip(QStringLiteral("klicken und ziehen"));
  Image1_->setSource(&core_->view.BackBuffer);
  Image1_->setMinimumSize(kMinViewWidth, kMinViewHeight);
  Image1_->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
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
  Image1_->setFocusPolicy(Qt::StrongFocus);
  Image1_->setWheelHandler([this, &view](int notches) { handle([&] { view.zoomByWheel(notches); }); });
  Image1_->setKeyHandler([this, &view](int key) {
    constexpr int kStep = 5;  // degrees per key press
    int azimuth = 0, elevation = 0;
    switch (key) {
      case Qt::Key_Left: azimuth = -kStep; break;
      case Qt::Key_Right: azimuth = kStep; break;
      case Qt::Key_Up: elevation = kStep; break;
      case Qt::Key_Down: elevation = -kStep; break;
      case Qt::Key_Home: handle([&] { view.FlugEinpassen1Click(); }); return true;
      default: return false;
    }
    handle([&] { view.turnCamera(azimuth, elevation); });
    return true;
  });
  // The 3D view's picture follows the window.
  Image1_->setResizeHandler([this, &view](QSize size) {
    if (view.BackBuffer.size() != size) handle([&] { view.resizeImage(size.width(), size.height()); });
  });
  return mouseMove;
}

// Opens with the 3D view at its design size.
void TForm1::openAtDesignSize(const QGridLayout& grid, int belowHeight) {
  const QMargins m = grid.contentsMargins();
  const QSize design(View3D::kDefaultWidth, View3D::kDefaultHeight);
  const int centralWidth = m.left() + side_.widget->minimumWidth() + grid.horizontalSpacing() + design.width() + m.right();
  const int centralHeight =
      m.top() + std::max(side_.widget->minimumHeight(), design.height() + grid.verticalSpacing() + belowHeight) +
      m.bottom();
  resize(centralWidth, menuBar()->sizeHint().height() + centralHeight + statusBar()->sizeHint().height());
}

// The chart windows read the flight data: they go before it does.
TForm1::~TForm1() {
  for (TFlugverlaufForm* chart : chartWindows_) delete chart;
}

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
  addItem(datei, "gpxffnen1", QStringLiteral("*.gpx Öffnen"), [&c] { c.gpxffnen1Click(); });
  addItem(datei, "Karteladen1", QStringLiteral("Pixel-Karte laden"), [&c] { c.Karteladen1Click(); });
  addItem(datei, "Mapladen1", QStringLiteral("Vektor-Karte laden"), [&c] { c.Mapladen1Click(); });
  addItem(datei, "BildSpeichern1", QStringLiteral("Bild speichern…"), [&c] { c.BildSpeichern1Click(); });
  QMenu* exportieren = datei->addMenu(QStringLiteral("Exportieren"));
  exportieren->setObjectName(QStringLiteral("Exportieren1"));
  addItem(exportieren, "ExportKml1", QStringLiteral("Google Earth (KML)…"), [&c] { c.ExportKml1Click(); });
  addItem(exportieren, "ExportGpx1", QStringLiteral("GPX…"), [&c] { c.ExportGpx1Click(); });
  addItem(exportieren, "ExportCsv1", QStringLiteral("Messwerte als CSV…"), [&c] { c.ExportCsv1Click(); });
  recentFiles_ = new RecentFilesMenu(datei, guardedRunner(), [&c](const QString& path) { c.openByName(path); });
  datei->addMenu(recentFiles_);
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
  addItem(darstellung, "Optionen1", QStringLiteral("Optionen"), [this] { Optionen1Click(); });

  QMenu* overlay = menuBar()->addMenu(QStringLiteral("Overlay"));
  overlay->setObjectName(QStringLiteral("Overlay1"));
  static const char* const kOverlayNames[kOverlayItemCount] = {
      "BlauRot1", "Geschwindigkeit1", "Flugweg1", "N25mSchichten1", "Energie1", "Energiezuwachs1", "Flugphasen1"};
  static const char* const kOverlayCaptions[kOverlayItemCount] = {
      "Flugrichtung", "Geschwindigkeit", "Flugweg", "25m-Schichten", "Energie", "Energiezuwachs", "Flugphasen"};
  for (int k = 0; k < kOverlayItemCount; ++k) {
    overlayItem_[k] = addItem(overlay, kOverlayNames[k], QString::fromUtf8(kOverlayCaptions[k]),
                              [&c, k] { c.overlayItemClick(k + 1); });
    overlayItem_[k]->setCheckable(true);
  }
  addReplaySpeedMenu(overlay, [this](int speed) { handle([this, speed] { setReplaySpeed(core_->panels, speed); }); });

  QMenu* navigation = menuBar()->addMenu(QStringLiteral("Navigation"));
  navigation->setObjectName(QStringLiteral("Navigation1"));
  addItem(navigation, "Ausgangsposition1", QStringLiteral("Ausgangsposition der Kamera"),
          [&v] { v.Ausgangsposition1Click(); });
  addItem(navigation, "StartpunktindieMitte1", QStringLiteral("Kameramitte auf den Startpunkt richten"),
          [&v] { v.StartpunktindieMitte1Click(); });
  addItem(navigation, "AutoZoomout1", QStringLiteral("Auto-Zoom-out"), [&v] { v.Autozoom(); });
  addItem(navigation, "FlugEinpassen1", QStringLiteral("Flug einpassen"), [&v] { v.FlugEinpassen1Click(); });
  addItem(navigation, "StartpunktdesFlugzeugeshierhersetzen1",
          QStringLiteral("Startpunkt des Flugzeuges an Begin des Ausschnitts setzen"),
          [&c] { c.StartpunktdesFlugzeugeshierhersetzen1Click(); });
  addItem(navigation, "StartpunktdesFlugzeugsandenBeginderAufzeicvhnungensetzen1",
          QStringLiteral("Startpunkt des Flugzeuges an den Anfang der Aufzeichnungen setzen"),
          [&c] { c.StartpunktdesFlugzeugsandenBeginderAufzeicvhnungensetzen1Click(); });

  QMenu* parameter = menuBar()->addMenu(QStringLiteral("Parameter"));
  parameter->setObjectName(QStringLiteral("Parameter1"));
  addItem(parameter, "Editieren1", QStringLiteral("Editor"), [this] { Editieren1Click(); });
  addItem(parameter, "laden1", QStringLiteral("laden"), [&c] { c.laden1Click(); });
  addItem(parameter, "speichern1", QStringLiteral("speichern"), [&c] { c.speichern1Click(); });
  Grafik1_ = addItem(parameter, "Grafik1", QStringLiteral("Grafik"), [this] { Grafik1Click(); });

  QMenu* info = menuBar()->addMenu(QStringLiteral("Info"));
  info->setObjectName(QStringLiteral("Info1"));
  addItem(info, "FlugphasenFenster1", QStringLiteral("Flugphasen…"), [this] { trelvano::showFlightPhasesWindow(*this); });
  addItem(info, "berTrelvano1", QStringLiteral("über Trelvano"), [this] { berTrelvano1Click(); });
}

void TForm1::buildTrackPanel(QWidget* parent) {
  TrackPanel_ = new QWidget(parent);
  TrackPanel_->setObjectName(QStringLiteral("TrackPanel"));
  auto* row = new QHBoxLayout(TrackPanel_);
  row->setContentsMargins(0, 1, 0, 1);
  row->setSpacing(0);
  static const char* const kHints[4] = {"ab Anfang anzeigen", "ab hier anzeigen", "bis hier anzeigen",
                                        "bis ende anzeigen"};
  static const char* const kGlyphs[4] = {"|<", "[", "]", ">|"};
  for (int k = 0; k < 4; ++k) {
    SpeedButton_[k] = new QToolButton(TrackPanel_);
    SpeedButton_[k]->setObjectName(QStringLiteral("SpeedButton%1").arg(k + 1));
    SpeedButton_[k]->setToolTip(QString::fromUtf8(kHints[k]));
    SpeedButton_[k]->setText(QLatin1String(kGlyphs[k]));
    SpeedButton_[k]->setFocusPolicy(Qt::NoFocus);
    SpeedButton_[k]->setMinimumWidth(23);
    connect(SpeedButton_[k], &QToolButton::clicked, this,
            [this, k] { handle([this, k] { core_->SpeedButtonClick(k + 1); }); });
  }
  TrackBar1_ = new QSlider(Qt::Horizontal, TrackPanel_);
  TrackBar1_->setObjectName(QStringLiteral("TrackBar1"));
  TrackBar1_->setRange(0, kTrackBarMax);
  TrackBar1_->setToolTip(QStringLiteral("momentaner Flugpunkt"));
  TrackBar1_->setFocusPolicy(Qt::StrongFocus);
  // Only the user's own hand on the bar stops the replay, not focus that
  // comes back to it after a menu or a dialog.
  watchUserInput(TrackBar1_, [this] { handle([this] { core_->TrackBar1Enter(); }); });
  connect(TrackBar1_, &QSlider::valueChanged, this,
          [this](int position) { handle([this, position] { core_->TrackBar1Change(position); }); });
  row->addWidget(SpeedButton_[0]);
  row->addWidget(SpeedButton_[1]);
  row->addSpacing(10);
  row->addWidget(TrackBar1_, 1);
  row->addSpacing(10);
  row->addWidget(SpeedButton_[2]);
  row->addWidget(SpeedButton_[3]);
  TrackPanel_->hide();
}

QAction* TForm1::layerAction(bool Layers::*item) const {
  for (const auto& [member, action] : layerItem_)
    if (member == item) return action;
  return nullptr;
}

void TForm1::FormCreate(const QString& defaultParPath, const QStringList& files) {
  if (files.isEmpty()) return handle([&] { core_->formCreate(defaultParPath); });
  handle([&] { core_->formCreateWithoutDialog(defaultParPath); });
  // The window first, so that the error box of a file that fails stands over it.
  show();
  openFiles(files);
}

// Each file through the guard of its own: one that fails shows its error box
// and the next is still tried.
void TForm1::openFiles(const QStringList& paths) {
  for (const QString& path : paths) handle([&] { core_->openByName(path); });
}

void TForm1::dragEnterEvent(QDragEnterEvent* e) {
  if (!localFiles(e->mimeData()).isEmpty()) e->acceptProposedAction();
}

void TForm1::dropEvent(QDropEvent* e) {
  const QStringList files = localFiles(e->mimeData());
  if (files.isEmpty()) return;
  e->acceptProposedAction();
  openFiles(files);
}

void TForm1::handle(const std::function<void()>& handler) {
  const QString flightBefore = core_->state.flightFile;
  guard_.run(handler);
  if (core_->state.flightFile != flightBefore) recentFiles_->noteLoaded(core_->state.flightFile);
  showState();
}

void TForm1::showState() {
  const MainController& c = *core_;
  const SidePanels& p = c.panels;
  const Layers& layers = c.view.layers;

  statusPanel_->setText(c.state.statusText);
  setWindowTitle(::windowTitle(c.state));
  side_.HLabel->setText(c.state.hLabel);
  Grafik1_->setVisible(c.state.grafikVisible);

  for (const auto& [item, action] : layerItem_) action->setChecked(layers.*item);
  layerAction(&Layers::Karte)->setVisible(layers.KarteVisible);
  layerAction(&Layers::VectorKarte)->setVisible(layers.VectorKarteVisible);
  for (int k = 0; k < kOverlayItemCount; ++k) overlayItem_[k]->setChecked(p.overlayChecked[k]);

  side_.InfoGroupBox->setVisible(p.infoVisible);
  side_.NavGroupBox->setVisible(p.navVisible);
  side_.ADCGroupBox->setVisible(p.adcVisible);
  side_.MiscGroupBox->setVisible(p.miscVisible);
  TrackPanel_->setVisible(p.trackPanelVisible);
  Image2_->setVisible(p.image2Visible);
  if (p.image2Visible) {
    Image2_->setFixedSize(p.Image2.size());
    Image2_->update();
  }

  for (int k = 0; k < 5; ++k) side_.navValue[k]->setText(p.nav[k]);
  for (int k = 0; k < 6; ++k) side_.infoValue[k]->setText(p.info[k]);
  for (int k = 0; k < 13; ++k) {
    side_.channelCaption[k]->setText(p.channelCaption[k]);
    side_.channelValue[k]->setText(p.channelValue[k]);
    side_.channelValue[k]->setVisible(p.channelValueVisible[k]);
  }

  if (TrackBar1_->value() != p.trackBarPosition) {
    const QSignalBlocker block(TrackBar1_);
    TrackBar1_->setValue(p.trackBarPosition);
  }
  for (int k = 0; k < 6; ++k) SpinEdit_[k]->setValue(c.view.spinEdit(k + 1));

  if (p.timer1Enabled != Timer1_->isActive()) p.timer1Enabled ? Timer1_->start() : Timer1_->stop();
  if (Timer2_->interval() != replayIntervalMs(p)) Timer2_->setInterval(replayIntervalMs(p));
  if (replayTimerRuns(p) != Timer2_->isActive()) replayTimerRuns(p) ? Timer2_->start() : Timer2_->stop();
  const QString replayState = replayStateText(p);
  replayStatus_->setText(replayState);
  const QString hint = QStringLiteral("momentaner Flugpunkt") +
                       (replayState.isEmpty() ? QString() : QStringLiteral(" – ") + replayState);
  if (TrackBar1_->toolTip() != hint) TrackBar1_->setToolTip(hint);

  if (c.view.redrawCount() != shownRedraws_) {
    shownRedraws_ = c.view.redrawCount();
    Image1_->update();
  }
  // The open charts mark the replay cursor; they are not redrawn for it.
  for (TFlugverlaufForm* chart : chartWindows_)
    if (chart->isVisible()) chart->showCursor(p.cursorPlaced);
}

// FormActivate: the window comes to the front, the 3D view is redrawn.
void TForm1::changeEvent(QEvent* e) {
  QMainWindow::changeEvent(e);
  if (e->type() == QEvent::ActivationChange && isActiveWindow()) handle([this] { core_->view.Grafikupdate(); });
}

void TForm1::keepBetweenRuns(QSettings* settings) {
  settings_ = settings;
  recentFiles_->keepIn(settings);
  if (auto* qtDialogs = dynamic_cast<QtFileDialogs*>(dialogs_.get())) qtDialogs->rememberFoldersIn(settings);
  if (settings_) restoreGeometry(settings_->value(QStringLiteral("window/geometry")).toByteArray());
}

void TForm1::closeEvent(QCloseEvent* e) {
  if (settings_) settings_->setValue(QStringLiteral("window/geometry"), saveGeometry());
  QMainWindow::closeEvent(e);
}

void TForm1::showEvent(QShowEvent* e) {
  QMainWindow::showEvent(e);
  handle([this] { core_->view.Grafikupdate(); });
}

// "Parameter" → "Grafik": one more chart window on every choice, modeless;
// closing hides it, and it stays until the program ends.
void TForm1::Grafik1Click() {
  auto* chart = new TFlugverlaufForm(core_->data, core_->chart, this);
  chart->setCursorPicker([this](int32_t point) { handle([this, point] { core_->moveCursorTo(point); }); });
  chart->setPictureSaver([this](const QImage& picture) { handle([this, &picture] { core_->savePicture(picture); }); });
  chartWindows_.push_back(chart);
  chart->show();
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

ParamEditorTargets TForm1::paramEditorTargets() {
  return {core_->data, paramEditorMemory_, [this] { core_->laden1Click(); }, [this] { core_->speichern1Click(); }};
}

OptionsTargets TForm1::optionsTargets() {
  return {core_->data, core_->view, core_->panels, core_->state.hLabel};
}

GuardedRunner TForm1::guardedRunner() {
  return [this](const std::function<void()>& handler) { handle(handler); };
}

void TForm1::createStartupDialogs() {
  new TParamForm(paramEditorTargets(), guardedRunner(), this);
  new TOptForm(optionsTargets(), guardedRunner(), this);
}

// "Parameter" → "Editor": a new editor from the current table, modal,
// destroyed when it closes.
void TForm1::Editieren1Click() {
  TParamForm editor(paramEditorTargets(), guardedRunner(), this);
  editor.exec();
}

// "Darstellung" → "Optionen": the same with a new options dialog.
void TForm1::Optionen1Click() {
  TOptForm options(optionsTargets(), guardedRunner(), this);
  options.exec();
}
