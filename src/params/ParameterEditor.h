#pragma once
// The parameter editor "Parametereditor": a grid of the 13 channel rows, one
// editing panel at a time beside it, the temperature bar and the buttons
// "laden", "speichern" and "Fertig". It only wires widgets to its core
// (ParamEditorController) and shows the core's values after every handler.

#include "params/core/ParamEditorController.h"
#include "ui/ErrorGuard.h"

#include <QDialog>

class QButtonGroup;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QSlider;
class QTableWidget;

namespace trelvano {

class ParameterEditor : public QDialog {
 public:
  // `run` is the main window's guarded runner: every handler goes through it.
  ParameterEditor(ParamEditorTargets targets, GuardedRunner run, QWidget* parent = nullptr);

  ParamEditorController& core() { return core_; }

 private:
  QGroupBox* makePanel(const char* objectName, const QString& title, int height);
  QLineEdit* makeField(QGroupBox* panel, const char* objectName, void (ParamEditorController::*change)(const QString&));
  QPushButton* makeButton(QWidget* parent, const char* objectName, const QString& caption, QRect geometry,
                          void (ParamEditorController::*click)());
  void buildGrid();
  void handle(const std::function<void()>& handler);
  void selectCell(int column, int row);
  void focusPanel();
  void showState();

  ParamEditorController core_;
  GuardedRunner run_;

  QTableWidget* StringGrid1_ = nullptr;
  QGroupBox* kindGroup_ = nullptr;
  QButtonGroup* kindButtons_ = nullptr;
  QGroupBox* GroupBoxName_ = nullptr;
  QGroupBox* GroupBoxOffset_ = nullptr;
  QGroupBox* GroupBoxKoeff_ = nullptr;
  QGroupBox* GroupBoxStart_ = nullptr;
  QLineEdit* EditName_ = nullptr;
  QLineEdit* EditOffset_ = nullptr;
  QLineEdit* EditKoeff_ = nullptr;
  QLineEdit* EditStart_ = nullptr;
  QLabel* LabelTemp_ = nullptr;
  QSlider* TrackBarTemp_ = nullptr;
};

}  // namespace trelvano
