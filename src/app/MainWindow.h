#pragma once
// The main window: menu, 3D view, side panels, replay bar, legend, status
// bar. It only wires widgets to the core (MainController): every handler runs
// a core routine through the error guard and then shows the core's state.

#include "params/core/ParamEditorController.h"
#include "app/FlightPhasesWindow.h"
#include "app/SideColumn.h"
#include "app/core/MainController.h"
#include "ui/ErrorGuard.h"

#include <QMainWindow>
#include <functional>
#include <vector>
#include <memory>

class QAction;
class QGridLayout;
class QLabel;
class QMenu;
class QSettings;
class QSlider;
class QTimer;
class QToolButton;
class QWidget;

namespace trelvano {

class FlightListPanel;

class ImageView;
class RecentFilesMenu;
struct OptionsTargets;
class ChartWindow;

class MainWindow : public QMainWindow {
 public:
  // `dialogs` answers the file dialogs; by default the Qt dialogs.
  explicit MainWindow(std::unique_ptr<FileDialogs> dialogs = nullptr, QWidget* parent = nullptr);
  ~MainWindow() override;

  // The start-up sequence (parameter file, camera, grid, the "*.csv Öffnen"
  // dialog). With files (named on the command line) the window is shown and
  // they are opened one by one instead of the dialog.
  void startUp(const QString& defaultParPath = QStringLiteral("default.par"), const QStringList& files = {});
  // Opens files by name with the reader their menu command would use.
  void openFiles(const QStringList& paths);

  // Keeps the recent flights, each file dialog's folder and the window's
  // place in `settings` from now on; restores the place at once. Without it
  // (tests) nothing of a run outlives it.
  void keepBetweenRuns(QSettings* settings);

  MainController& core() { return *core_; }
  ErrorGuard& errorGuard() { return guard_; }
  // Runs a handler through the error guard and shows the resulting state.
  void handle(const std::function<void()>& handler);
  // Copies the core's state into the widgets.
  void showState();
  // The chart windows "Grafik" opened, hidden ones included.
  const std::vector<ChartWindow*>& chartWindows() const { return chartWindows_; }

  // "Parameter" → "Grafik": one more chart window on every choice, modeless;
  // closing hides it, and it stays until the program ends.
  void openChart();
  // What the flight phases window's "Wertung" tab does: the league chosen
  // is kept between runs, the search runs in the background with its
  // progress in the status bar, the route of the chosen row is drawn.
  FlightPhasesWindow::ScoreHandlers scoreHandlers();

 protected:
  void showEvent(QShowEvent* e) override;
  void changeEvent(QEvent* e) override;
  void closeEvent(QCloseEvent* e) override;
  void dragEnterEvent(QDragEnterEvent* e) override;
  void dropEvent(QDropEvent* e) override;

 private:
  void buildMenus();
  std::function<void(Qt::MouseButtons, int, int)> buildView3D(QWidget* parent);
  void buildTrackPanel(QWidget* parent);
  void openAtDesignSize(const QGridLayout& grid, int belowHeight);
  QAction* addItem(QMenu* menu, const char* objectName, const QString& caption, std::function<void()> handler = {});
  QTimer* makeTimer(const char* objectName, int intervalMs, bool SidePanels::*enabled, void (MainController::*tick)());
  void quit();
  void showAbout();
  void editParameters();
  void showOptions();
  GuardedRunner guardedRunner();
  ParamEditorTargets paramEditorTargets();
  OptionsTargets optionsTargets();

  std::unique_ptr<FileDialogs> dialogs_;
  std::unique_ptr<MainController> core_;
  ErrorGuard guard_;
  long long shownRedraws_ = -1;
  ParamEditorMemory paramEditorMemory_;  // the editor's selected row and last accepted texts

  ImageView* view_ = nullptr;
  ImageView* legend_ = nullptr;
  SideColumn side_;
  QLabel* statusPanel_ = nullptr;
  QWidget* trackPanel_ = nullptr;
  QSlider* trackBar_ = nullptr;
  QToolButton* sectionButton_[4] = {};
  QTimer* animationTimer_ = nullptr;
  QTimer* replayTimer_ = nullptr;
  QAction* chartItem_ = nullptr;
  QAction* exportItem_[3] = {};  // KML, GPX, CSV: enabled once a flight is loaded
  RecentFilesMenu* recentFiles_ = nullptr;
  FlightListPanel* flightList_ = nullptr;
  QLabel* replayStatus_ = nullptr;
  QLabel* scoreStatus_ = nullptr;  // "Wertung wird berechnet … 45 %"
  QTimer* scoreTimer_ = nullptr;   // looks at a running search
  QSettings* settings_ = nullptr;
  QString keptExportFolder_;  // the export folder as last written to the settings
  QAction* overlayItem_[kOverlayItemCount] = {};
  std::vector<std::pair<bool Layers::*, QAction*>> layerItem_;
  QAction* layerAction(bool Layers::*item) const;
  std::vector<ChartWindow*> chartWindows_;
};

}  // namespace trelvano
