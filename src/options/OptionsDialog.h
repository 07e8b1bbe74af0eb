#pragma once
// The options dialog "Optionen": three switches that take effect at once and
// "Fertig". It only wires the check boxes to its core (OptionsController).

#include "options/core/OptionsController.h"
#include "ui/ErrorGuard.h"

#include <QDialog>

class QCheckBox;

namespace trelvano {

class OptionsDialog : public QDialog {
 public:
  // `run` is the main window's guarded runner: every handler goes through it,
  // and the main window shows the new altitudes and statistics at once.
  OptionsDialog(OptionsTargets targets, GuardedRunner run, QWidget* parent = nullptr);

  OptionsController& core() { return core_; }

 private:
  QCheckBox* makeBox(const char* objectName, const QString& caption, int top, void (OptionsController::*click)(bool));
  void handle(const std::function<void()>& handler);
  void showState();

  OptionsController core_;
  GuardedRunner run_;
  QCheckBox* CheckBoxGrafik_ = nullptr;
  QCheckBox* CheckBoxStarr_ = nullptr;
  QCheckBox* CheckBoxBaro_ = nullptr;
};

}  // namespace trelvano
