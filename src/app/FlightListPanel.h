#pragma once
// The flight list "Flüge" beside the 3D view: a dock that shows the rows of
// the core's flight list and hands clicks, check boxes, offsets, the sync
// choice and "Entfernen" to the main controller.

#include <QDockWidget>

#include <functional>

class QComboBox;
class QTableWidget;

namespace trelvano {

class MainController;

class FlightListPanel : public QDockWidget {
 public:
  // `run` carries every change through the window's error guard and shows the state after it.
  FlightListPanel(MainController& core, std::function<void(const std::function<void()>&)> run, QWidget* parent);

  // The rows as the core has them now; shown while more than one flight is loaded.
  void refresh();

 private:
  void editOffset(int row);
  MainController& core_;
  std::function<void(const std::function<void()>&)> run_;
  QComboBox* sync_ = nullptr;
  QTableWidget* table_ = nullptr;
  bool filling_ = false;
};

}  // namespace trelvano
