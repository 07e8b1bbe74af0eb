#include "app/MainWindow.h"

#include "params/ParameterEditor.h"
#include "options/OptionsDialog.h"
#include "chart/ChartWindow.h"
#include "app/FlightListPanel.h"
#include "app/FlightPhasesWindow.h"
#include "app/core/FlightList.h"
#include "app/core/FlightScene.h"
#include "app/RecentFilesMenu.h"
#include "app/ReplayControls.h"
#include "app/core/Exaggeration.h"
#include "overlay/ReplayControl.h"
#include "ui/ImageView.h"
#include "ui/QtFileDialogs.h"
#include "ui/TrackBarInput.h"

#include <QAction>
#include <QActionGroup>
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
#include <QStatusBar>
#include <QTimer>
#include <QToolButton>

#include <algorithm>
#include <limits>

namespace trelvano {

namespace {

const QString kExportFolderKey = QStringLiteral("exportFolder");
const QString kScoreLeagueKey = QStringLiteral("score/league");

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

MainWindow::MainWindow(std::unique_ptr<FileDialogs> dialogs, QWidget* parent)
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
  belowLayout->addWidget(trackPanel_, 0, 0, Qt::AlignTop);
  legend_ = new ImageView(below);
  legend_->setObjectName(QStringLiteral("Image2"));
  legend_->setSource(&core_->panels.Image2);
  legend_->setFixedSize(core_->panels.Image2.size());
  legend_->hide();
  belowLayout->addWidget(legend_, 0, 0, Qt::AlignLeft | Qt::AlignTop);
  below->setFixedHeight(std::max(trackPanel_->sizeHint().height(), legend_->height()));
  below->setMinimumWidth(legend_->width());

  auto* grid = new QGridLayout(central);
  grid->setContentsMargins(8, 8, 8, 4);
  grid->setHorizontalSpacing(15);
  grid->setVerticalSpacing(8);
  grid->addWidget(side_.widget, 0, 0, 2, 1);
  grid->addWidget(view_, 0, 1);
  grid->addWidget(below, 1, 1);
  grid->setColumnStretch(1, 1);
  grid->setRowStretch(0, 1);

  animationTimer_ = makeTimer("Timer1", 100, &SidePanels::timer1Enabled, &MainController::animationTick);
  replayTimer_ = makeTimer("Timer2", 200, &SidePanels::timer2Enabled, &MainController::replayTimerTick);

  // A permanent panel rather than a status message, so the menu's hover tips
  // do not wipe the file name.
  statusBar()->setObjectName(QStringLiteral("StatusBar1"));
  statusPanel_ = new QLabel(statusBar());
  statusPanel_->setObjectName(QStringLiteral("StatusBar1Panel"));
  statusBar()->addWidget(statusPanel_, 1);
  replayStatus_ = new QLabel(statusBar());
  replayStatus_->setObjectName(QStringLiteral("ReplayStatus"));
  statusBar()->addPermanentWidget(replayStatus_);
  scoreStatus_ = new QLabel(statusBar());
  scoreStatus_->setObjectName(QStringLiteral("ScoreStatus"));
  statusBar()->addPermanentWidget(scoreStatus_);
  scoreStatus_->hide();
  scoreTimer_ = new QTimer(this);
  scoreTimer_->setObjectName(QStringLiteral("ScoreTimer"));
  scoreTimer_->setInterval(200);
  connect(scoreTimer_, &QTimer::timeout, this, [this] {
    handle([this] {
      if (core_->scoring.collect(core_->data)) core_->view.Grafikupdate();
    });
  });
  flightList_ = new FlightListPanel(
      *core_, [this](const std::function<void()>& h) { handle(h); }, this);
  addDockWidget(Qt::RightDockWidgetArea, flightList_);
  buildMenus();
  watchReplayKeys(
      this, [this] { handle([this] { toggleReplayHold(core_->panels); }); },
      [this](int direction) {
        handle([this, direction] {
          stepReplayCursor(core_->data, core_->view, core_->panels, direction);
          core_->cursorTimeFromActive();
        });
      });
  openAtDesignSize(*grid, below->height());
  showState();
}

// Image1, the 3D view: mouse drags, wheel and arrow keys move the camera; its
// picture follows the widget's size. Returns the mouse-move handler, which
// the "Entfernung:" label shares.
std::function<void(Qt::MouseButtons, int, int)> MainWindow::buildView3D(QWidget* parent) {
  view_ = new ImageView(parent);
  view_->setObjectName(QStringLiteral("Image1"));
  view_->setToolTip(QStringLiteral("klicken und ziehen"));
  view_->setSource(&core_->view.BackBuffer);
  view_->setMinimumSize(kMinViewWidth, kMinViewHeight);
  view_->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
  View3D& view = core_->view;
  const auto mouseMove = [this, &view](Qt::MouseButtons held, int x, int y) {
    const bool left = held & Qt::LeftButton, right = held & Qt::RightButton;
    if (left || right) handle([&] { view.dragMouse(left, right, x, y); });
  };
  view_->setMouseHandlers({
      [this, &view](Qt::MouseButton, int x, int y) { handle([&] { view.pressMouse(x, y); }); },
      mouseMove,
      [this, &view](Qt::MouseButton, int, int) { handle([&] { view.releaseMouse(); }); },
  });
  view_->setFocusPolicy(Qt::StrongFocus);
  view_->setWheelHandler([this, &view](int notches) { handle([&] { view.zoomByWheel(notches); }); });
  view_->setKeyHandler([this, &view](int key) {
    constexpr int kStep = 5;  // degrees per key press
    int azimuth = 0, elevation = 0;
    switch (key) {
      case Qt::Key_Left: azimuth = -kStep; break;
      case Qt::Key_Right: azimuth = kStep; break;
      case Qt::Key_Up: elevation = kStep; break;
      case Qt::Key_Down: elevation = -kStep; break;
      case Qt::Key_Home: handle([&] { view.fitFlight(); }); return true;
      default: return false;
    }
    handle([&] { view.turnCamera(azimuth, elevation); });
    return true;
  });
  // The 3D view's picture follows the window.
  view_->setResizeHandler([this, &view](QSize size) {
    if (view.BackBuffer.size() != size) handle([&] { view.resizeImage(size.width(), size.height()); });
  });
  return mouseMove;
}

// Opens with the 3D view at its design size.
void MainWindow::openAtDesignSize(const QGridLayout& grid, int belowHeight) {
  const QMargins m = grid.contentsMargins();
  const QSize design(View3D::kDefaultWidth, View3D::kDefaultHeight);
  const int centralWidth =
      m.left() + side_.widget->minimumWidth() + grid.horizontalSpacing() + design.width() + m.right();
  const int centralHeight =
      m.top() + std::max(side_.widget->minimumHeight(), design.height() + grid.verticalSpacing() + belowHeight) +
      m.bottom();
  resize(centralWidth, menuBar()->sizeHint().height() + centralHeight + statusBar()->sizeHint().height());
}

// The chart windows read the flight data: they go before it does.
MainWindow::~MainWindow() {
  for (ChartWindow* chart : chartWindows_) delete chart;
}

// A tick that fails stops its timer: one error box, not ten a second.
QTimer* MainWindow::makeTimer(const char* objectName, int intervalMs, bool SidePanels::*enabled,
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

QAction* MainWindow::addItem(QMenu* menu, const char* objectName, const QString& caption,
                             std::function<void()> handler) {
  QAction* action = menu->addAction(caption);
  if (objectName) action->setObjectName(QLatin1String(objectName));
  if (handler) connect(action, &QAction::triggered, this, [this, handler] { handle(handler); });
  return action;
}

void MainWindow::buildMenus() {
  MainController& c = *core_;
  View3D& v = c.view;

  QMenu* datei = menuBar()->addMenu(QStringLiteral("Datei"));
  datei->setObjectName(QStringLiteral("Datei1"));
  addItem(datei, "igcffnen1", QStringLiteral("*.igc Öffnen"), [&c] { c.openIgcFile(); });
  addItem(datei, "Darstellung1", QStringLiteral("*.csv Öffnen"), [&c] { c.openLoggerFile(); });
  addItem(datei, "gpxffnen1", QStringLiteral("*.gpx Öffnen"), [&c] { c.openGpxFile(); });
  addItem(datei, "FlugHinzufuegen1", QStringLiteral("Flug hinzufügen…"), [&c] {
    c.view.redrawOnceAfter([&c] {
      c.addFlights();
      c.view.Grafikupdate();
    });
  });
  addItem(datei, "Karteladen1", QStringLiteral("Pixel-Karte laden"), [&c] { c.openPixelMap(); });
  addItem(datei, "Mapladen1", QStringLiteral("Vektor-Karte laden"), [&c] { c.openVectorMap(); });
  addItem(datei, "GeoKarteladen1", QStringLiteral("Georeferenzierte Karte laden…"), [&c] { c.openGeoMap(); });
  addItem(datei, "Gelaendeladen1", QStringLiteral("Gelände laden…"), [&c] { c.openTerrain(); });
  addItem(datei, "Gelaendeordner1", QStringLiteral("Geländeordner…"), [this, &c] {
    c.chooseTerrainFolder();
    if (settings_) settings_->setValue(QStringLiteral("terrain/folder"), c.terrainFolder());
  });
  addItem(datei, "BildSpeichern1", QStringLiteral("Bild speichern…"), [&c] { c.saveViewPicture(); });
  QMenu* exportieren = datei->addMenu(QStringLiteral("Exportieren"));
  exportieren->setObjectName(QStringLiteral("Exportieren1"));
  exportItem_[0] = addItem(exportieren, "ExportKml1", QStringLiteral("Google Earth (KML)…"), [&c] { c.exportKml(); });
  exportItem_[1] = addItem(exportieren, "ExportGpx1", QStringLiteral("GPX…"), [&c] { c.exportGpx(); });
  exportItem_[2] = addItem(exportieren, "ExportCsv1", QStringLiteral("Messwerte als CSV…"), [&c] { c.exportCsv(); });
  recentFiles_ = new RecentFilesMenu(datei, guardedRunner(), [&c](const QString& path) { c.openByName(path); });
  datei->addMenu(recentFiles_);
  datei->addSeparator();
  addItem(datei, "Ende1", QStringLiteral("Ende"), [this] { quit(); });

  QMenu* darstellung = menuBar()->addMenu(QStringLiteral("Darstellung"));
  darstellung->setObjectName(QStringLiteral("Darstellung2"));
  auto layerItem = [&](const char* name, const char* caption, bool Layers::*item) {
    QAction* a = addItem(darstellung, name, QString::fromUtf8(caption), [&v, item] { v.toggleLayer(item); });
    a->setCheckable(true);
    layerItem_.emplace_back(item, a);
    return a;
  };
  layerItem("Cokpit1", "Flugweg zentrieren", &Layers::FollowReplay);
  darstellung->addSeparator();
  layerItem("Flugbahn1", "Flugbahn", &Layers::Flugbahn);
  layerItem("Schatten1", "Schatten", &Layers::Schatten);
  layerItem("NordPfeil1", "NordPfeil", &Layers::NordPfeil);
  layerItem("Gitter1", "Gitter", &Layers::Gitter);
  layerItem("Lot1", "Lot", &Layers::Lot);
  layerItem("Karte1", "Karte", &Layers::Karte);
  layerItem("VectorKarte1", "Vektor-Karte", &Layers::VectorKarte);
  layerItem("Startkoordinaten1", "Startkoordinaten", &Layers::Startkoordinaten);
  layerItem("Gelaende1", "Gelände", &Layers::Gelaende);
  QMenu* exaggeration = darstellung->addMenu(QStringLiteral("Überhöhung"));
  exaggeration->setObjectName(QStringLiteral("Ueberhoehung1"));
  auto* factors = new QActionGroup(exaggeration);  // one factor checked at a time
  for (const trelvano::ExaggerationItem& item : trelvano::kExaggerationItems) {
    QAction* a = addItem(exaggeration, item.objectName, QString::fromUtf8(item.caption),
                         [&v, f = item.factor] { trelvano::setExaggeration(v, f); });
    a->setCheckable(true);
    a->setChecked(item.factor == v.data.Exaggeration);
    factors->addAction(a);
  }
  darstellung->addSeparator();
  addItem(darstellung, "Optionen1", QStringLiteral("Optionen"), [this] { showOptions(); });

  QMenu* overlay = menuBar()->addMenu(QStringLiteral("Overlay"));
  overlay->setObjectName(QStringLiteral("Overlay1"));
  static const char* const kOverlayNames[kOverlayItemCount] = {
      "BlauRot1", "Geschwindigkeit1", "Flugweg1", "N25mSchichten1", "Energie1", "Energiezuwachs1", "Flugphasen1"};
  static const char* const kOverlayCaptions[kOverlayItemCount] = {
      "Flugrichtung", "Geschwindigkeit", "Flugweg", "25m-Schichten", "Energie", "Energiezuwachs", "Flugphasen"};
  for (int k = 0; k < kOverlayItemCount; ++k) {
    overlayItem_[k] =
        addItem(overlay, kOverlayNames[k], QString::fromUtf8(kOverlayCaptions[k]), [&c, k] { c.chooseOverlay(k + 1); });
    overlayItem_[k]->setCheckable(true);
  }
  addReplaySpeedMenu(overlay, [this](int speed) { handle([this, speed] { setReplaySpeed(core_->panels, speed); }); });

  QMenu* navigation = menuBar()->addMenu(QStringLiteral("Navigation"));
  navigation->setObjectName(QStringLiteral("Navigation1"));
  addItem(navigation, "Ausgangsposition1", QStringLiteral("Ausgangsposition der Kamera"), [&v] { v.resetCamera(); });
  addItem(navigation, "StartpunktindieMitte1", QStringLiteral("Kameramitte auf den Startpunkt richten"),
          [&v] { v.aimAtStart(); });
  addItem(navigation, "AutoZoomout1", QStringLiteral("Auto-Zoom-out"), [&v] { v.Autozoom(); });
  addItem(navigation, "FlugEinpassen1", QStringLiteral("Flug einpassen"), [&v] { v.fitFlight(); });
  addItem(navigation, "StartpunktdesFlugzeugeshierhersetzen1",
          QStringLiteral("Startpunkt des Flugzeuges an Begin des Ausschnitts setzen"),
          [&c] { c.moveOriginToSectionStart(); });
  addItem(navigation, "StartpunktdesFlugzeugsandenBeginderAufzeicvhnungensetzen1",
          QStringLiteral("Startpunkt des Flugzeuges an den Anfang der Aufzeichnungen setzen"),
          [&c] { c.moveOriginToRecordingStart(); });

  QMenu* parameter = menuBar()->addMenu(QStringLiteral("Parameter"));
  parameter->setObjectName(QStringLiteral("Parameter1"));
  addItem(parameter, "Editieren1", QStringLiteral("Editor"), [this] { editParameters(); });
  addItem(parameter, "laden1", QStringLiteral("laden"), [&c] { c.loadParameters(); });
  addItem(parameter, "speichern1", QStringLiteral("speichern"), [&c] { c.saveParameters(); });
  chartItem_ = addItem(parameter, "Grafik1", QStringLiteral("Grafik"), [this] { openChart(); });

  QMenu* info = menuBar()->addMenu(QStringLiteral("Info"));
  info->setObjectName(QStringLiteral("Info1"));
  addItem(info, "FlugphasenFenster1", QStringLiteral("Flugphasen…"),
          [this] { trelvano::showFlightPhasesWindow(*this); });
  addItem(info, "berTrelvano1", QStringLiteral("über Trelvano"), [this] { showAbout(); });
}

void MainWindow::buildTrackPanel(QWidget* parent) {
  trackPanel_ = new QWidget(parent);
  trackPanel_->setObjectName(QStringLiteral("TrackPanel"));
  auto* row = new QHBoxLayout(trackPanel_);
  row->setContentsMargins(0, 1, 0, 1);
  row->setSpacing(0);
  static const char* const kHints[4] = {"ab Anfang anzeigen", "ab hier anzeigen", "bis hier anzeigen",
                                        "bis ende anzeigen"};
  static const char* const kGlyphs[4] = {"|<", "[", "]", ">|"};
  for (int k = 0; k < 4; ++k) {
    sectionButton_[k] = new QToolButton(trackPanel_);
    sectionButton_[k]->setObjectName(QStringLiteral("SpeedButton%1").arg(k + 1));
    sectionButton_[k]->setToolTip(QString::fromUtf8(kHints[k]));
    sectionButton_[k]->setText(QLatin1String(kGlyphs[k]));
    sectionButton_[k]->setFocusPolicy(Qt::NoFocus);
    sectionButton_[k]->setMinimumWidth(23);
    connect(sectionButton_[k], &QToolButton::clicked, this,
            [this, k] { handle([this, k] { core_->showSection(k + 1); }); });
  }
  trackBar_ = new QSlider(Qt::Horizontal, trackPanel_);
  trackBar_->setObjectName(QStringLiteral("TrackBar1"));
  trackBar_->setRange(0, kTrackBarMax);
  trackBar_->setToolTip(QStringLiteral("momentaner Flugpunkt"));
  trackBar_->setFocusPolicy(Qt::StrongFocus);
  // Only the user's own hand on the bar stops the replay, not focus that
  // comes back to it after a menu or a dialog.
  watchUserInput(trackBar_, [this] { handle([this] { core_->takeTrackBar(); }); });
  connect(trackBar_, &QSlider::valueChanged, this,
          [this](int position) { handle([this, position] { core_->moveTrackBar(position); }); });
  row->addWidget(sectionButton_[0]);
  row->addWidget(sectionButton_[1]);
  row->addSpacing(10);
  row->addWidget(trackBar_, 1);
  row->addSpacing(10);
  row->addWidget(sectionButton_[2]);
  row->addWidget(sectionButton_[3]);
  trackPanel_->hide();
}

QAction* MainWindow::layerAction(bool Layers::*item) const {
  for (const auto& [member, action] : layerItem_)
    if (member == item) return action;
  return nullptr;
}

void MainWindow::startUp(const QString& defaultParPath, const QStringList& files) {
  if (files.isEmpty()) return handle([&] { core_->startUp(defaultParPath); });
  handle([&] { core_->startUpWithFiles(defaultParPath); });
  // The window first, so that the error box of a file that fails stands over it.
  show();
  openFiles(files);
}

// Each file through the guard of its own: one that fails shows its error box
// and the next is still tried.
// Several flight files: the first opens, the others are added to it.
void MainWindow::openFiles(const QStringList& paths) {
  std::vector<bool> added;
  handle([&] { added = addedAsFlights(paths); });
  for (int k = 0; k < paths.size(); ++k) {
    const QString& path = paths[k];
    if (size_t(k) < added.size() && added[size_t(k)])
      handle([&] { addFlightByName(*core_, path); });
    else
      handle([&] { core_->openByName(path); });
  }
}

void MainWindow::dragEnterEvent(QDragEnterEvent* e) {
  if (!localFiles(e->mimeData()).isEmpty()) e->acceptProposedAction();
}

void MainWindow::dropEvent(QDropEvent* e) {
  const QStringList files = localFiles(e->mimeData());
  if (files.isEmpty()) return;
  e->acceptProposedAction();
  openFiles(files);
}

void MainWindow::handle(const std::function<void()>& handler) {
  const QString flightBefore = core_->state.flightFile;
  guard_.run(handler);
  // Another flight loaded: a search of the flight before is dropped, and
  // started anew where its tab is in front.
  if (!core_->data.ScoreRoute.empty() || core_->scoring.running() || core_->scoring.score()) {
    const bool drawn = !core_->data.ScoreRoute.empty();
    core_->scoring.follow(core_->data);
    if (drawn && core_->data.ScoreRoute.empty()) guard_.run([this] { core_->view.Grafikupdate(); });
  }
  if (auto* phases = findChild<FlightPhasesWindow*>(QStringLiteral("FlightPhasesWindow"));
      phases && phases->scoreShown() && !core_->scoring.running() && !core_->scoring.score())
    core_->scoring.start(core_->data);
  if (core_->state.flightFile != flightBefore) recentFiles_->noteLoaded(core_->state.flightFile);
  showState();
}

void MainWindow::showState() {
  const MainController& c = *core_;
  const SidePanels& p = c.panels;
  const Layers& layers = c.view.layers;

  statusPanel_->setText(c.state.statusText);
  setWindowTitle(trelvano::windowTitle(c.state));
  side_.HLabel->setText(c.state.hLabel);
  chartItem_->setVisible(c.state.grafikVisible);
  for (QAction* item : exportItem_) item->setEnabled(c.data.HasFlight);
  if (settings_ && c.state.exportFolder != keptExportFolder_) {
    keptExportFolder_ = c.state.exportFolder;
    settings_->setValue(kExportFolderKey, keptExportFolder_);
  }

  for (const auto& [item, action] : layerItem_) action->setChecked(layers.*item);
  layerAction(&Layers::Karte)->setVisible(layers.KarteVisible || layers.GeoKarteVisible);
  layerAction(&Layers::VectorKarte)->setVisible(layers.VectorKarteVisible);
  for (int k = 0; k < kOverlayItemCount; ++k) overlayItem_[k]->setChecked(p.overlayChecked[k]);

  side_.InfoGroupBox->setVisible(p.infoVisible);
  side_.NavGroupBox->setVisible(p.navVisible);
  side_.ADCGroupBox->setVisible(p.adcVisible);
  side_.MiscGroupBox->setVisible(p.miscVisible);
  trackPanel_->setVisible(p.trackPanelVisible);
  legend_->setVisible(p.image2Visible);
  if (p.image2Visible) {
    legend_->setFixedSize(p.Image2.size());
    legend_->update();
  }

  for (int k = 0; k < 5; ++k) side_.navValue[k]->setText(p.nav[k]);
  for (int k = 0; k < 6; ++k) side_.infoValue[k]->setText(p.info[k]);
  side_.minHeightAboveGround->setText(p.minHeightAboveGround);
  side_.minHeightAboveGround->setVisible(!p.minHeightAboveGround.isEmpty());
  side_.minHeightAboveGroundCaption->setVisible(!p.minHeightAboveGround.isEmpty());
  for (int k = 0; k < 13; ++k) {
    side_.channelCaption[k]->setText(p.channelCaption[k]);
    side_.channelValue[k]->setText(p.channelValue[k]);
    side_.channelValue[k]->setVisible(p.channelValueVisible[k]);
  }

  if (trackBar_->value() != p.trackBarPosition) {
    const QSignalBlocker block(trackBar_);
    trackBar_->setValue(p.trackBarPosition);
  }

  if (p.timer1Enabled != animationTimer_->isActive())
    p.timer1Enabled ? animationTimer_->start() : animationTimer_->stop();
  if (replayTimer_->interval() != replayIntervalMs(p)) replayTimer_->setInterval(replayIntervalMs(p));
  if (replayTimerRuns(p) != replayTimer_->isActive()) replayTimerRuns(p) ? replayTimer_->start() : replayTimer_->stop();
  const QString replayState = replayStateText(p);
  replayStatus_->setText(replayState);
  const QString scoreText = c.scoring.statusText();
  scoreStatus_->setText(scoreText);
  scoreStatus_->setVisible(!scoreText.isEmpty());
  if (c.scoring.running() != scoreTimer_->isActive()) c.scoring.running() ? scoreTimer_->start() : scoreTimer_->stop();
  const QString hint = QStringLiteral("momentaner Flugpunkt") +
                       (replayState.isEmpty() ? QString() : QStringLiteral(" – ") + replayState);
  if (trackBar_->toolTip() != hint) trackBar_->setToolTip(hint);

  flightList_->refresh();
  if (c.view.redrawCount() != shownRedraws_) {
    shownRedraws_ = c.view.redrawCount();
    view_->update();
  }
  if (auto* phases = findChild<FlightPhasesWindow*>(QStringLiteral("FlightPhasesWindow"));
      phases && phases->isVisible())
    phases->refresh();
  // The open charts mark the replay cursor; they are not redrawn for it.
  for (ChartWindow* chart : chartWindows_)
    if (chart->isVisible()) chart->showCursor(p.cursorPlaced);
}

// FormActivate: the window comes to the front, the 3D view is redrawn.
void MainWindow::changeEvent(QEvent* e) {
  QMainWindow::changeEvent(e);
  if (e->type() == QEvent::ActivationChange && isActiveWindow()) handle([this] { core_->view.Grafikupdate(); });
}

void MainWindow::keepBetweenRuns(QSettings* settings) {
  settings_ = settings;
  recentFiles_->keepIn(settings);
  if (auto* qtDialogs = dynamic_cast<QtFileDialogs*>(dialogs_.get())) qtDialogs->rememberFoldersIn(settings);
  if (!settings_) return;
  restoreGeometry(settings_->value(QStringLiteral("window/geometry")).toByteArray());
  keptExportFolder_ = core_->state.exportFolder = settings_->value(kExportFolderKey).toString();
  const QString terrainFolder = settings_->value(QStringLiteral("terrain/folder")).toString();
  core_->scoring.setLeague(settings_->value(kScoreLeagueKey).toString(), core_->data);
  handle([this, terrainFolder] { core_->setTerrainFolder(terrainFolder); });
}

void MainWindow::closeEvent(QCloseEvent* e) {
  if (settings_) settings_->setValue(QStringLiteral("window/geometry"), saveGeometry());
  QMainWindow::closeEvent(e);
}

void MainWindow::showEvent(QShowEvent* e) {
  QMainWindow::showEvent(e);
  handle([this] { core_->view.Grafikupdate(); });
}

FlightPhasesWindow::ScoreHandlers MainWindow::scoreHandlers() {
  FlightPhasesWindow::ScoreHandlers h;
  h.league = [this](const QString& key) {
    handle([this, key] {
      core_->scoring.setLeague(key, core_->data);
      core_->view.Grafikupdate();
    });
    if (settings_) settings_->setValue(kScoreLeagueKey, QString::fromUtf8(core_->scoring.league().key));
  };
  h.start = [this] {
    handle([this] {
      core_->scoring.restart(core_->data);
      core_->view.Grafikupdate();
    });
  };
  h.stop = [this] { handle([this] { core_->scoring.stop(); }); };
  h.choose = [this](int row) {
    handle([this, row] {
      core_->scoring.choose(row, core_->data);
      core_->view.Grafikupdate();
    });
  };
  return h;
}

// "Parameter" → "Grafik": one more chart window on every choice, modeless;
// closing hides it, and it stays until the program ends.
void MainWindow::openChart() {
  auto* chart = new ChartWindow(core_->data, core_->chart, this);
  chart->core().otherHeights = [this](int32_t first, int32_t last, std::vector<ChartView::OtherHeights>& out) {
    fillOtherHeights(core_->flights, first, last, out);
  };
  chart->setCursorPicker([this](int32_t point) { handle([this, point] { core_->moveCursorTo(point); }); });
  chart->setPictureSaver([this](const QImage& picture) { handle([this, &picture] { core_->savePicture(picture); }); });
  chartWindows_.push_back(chart);
  chart->show();
}

void MainWindow::quit() {
  close();
  QApplication::quit();
}

void MainWindow::showAbout() {
  QMessageBox::about(this, QStringLiteral("über Trelvano"),
                     QStringLiteral("<b>") + programName() +
                         QStringLiteral(" (NG)</b><p>Zeigt die Aufzeichnungen eines "
                                        "Flugdatenloggers: IGC-Flüge und Logger-Dateien als 3D-Flugbahn, "
                                        "mit Overlays, Wiedergabe und Statistik.</p>"));
}

ParamEditorTargets MainWindow::paramEditorTargets() {
  return {core_->data, paramEditorMemory_, [this] { core_->loadParameters(); }, [this] { core_->saveParameters(); }};
}

OptionsTargets MainWindow::optionsTargets() { return {core_->data, core_->view, core_->panels, core_->state.hLabel}; }

GuardedRunner MainWindow::guardedRunner() {
  return [this](const std::function<void()>& handler) { handle(handler); };
}

// "Parameter" → "Editor": a new editor from the current table, modal,
// destroyed when it closes.
void MainWindow::editParameters() {
  ParameterEditor editor(paramEditorTargets(), guardedRunner(), this);
  editor.exec();
}

// "Darstellung" → "Optionen": the same with a new options dialog.
void MainWindow::showOptions() {
  OptionsDialog options(optionsTargets(), guardedRunner(), this);
  options.exec();
}

}  // namespace trelvano
