#include "options/OptionsDialog.h"

#include <QCheckBox>
#include <QPushButton>

namespace trelvano {

OptionsDialog::OptionsDialog(OptionsTargets targets, GuardedRunner run, QWidget* parent)
    : QDialog(parent), core_(targets), run_(std::move(run)) {
  setObjectName(QStringLiteral("OptForm"));
  setWindowTitle(QStringLiteral("Optionen"));
  setAttribute(Qt::WA_WindowPropagation);  // the main window's font
  setFixedSize(302, 166);

  using C = OptionsController;
  CheckBoxGrafik_ = makeBox("CheckBoxGrafik", QStringLiteral("Karte schnell laden"), 24, &C::fastMapLoadingTicked);
  CheckBoxStarr_ =
      makeBox("CheckBoxStarr", QStringLiteral("Karte beim Bewegen ausblenden"), 56, &C::hideMapWhileDraggingTicked);
  CheckBoxBaro_ = makeBox("CheckBoxBaro", QStringLiteral("verwende barometrische Höhe"), 96, &C::baroAltitudeTicked);

  auto* fertig = new QPushButton(QStringLiteral("Fertig"), this);
  fertig->setObjectName(QStringLiteral("Button1"));
  fertig->setGeometry(224, 88, 65, 41);
  connect(fertig, &QPushButton::clicked, this, &QDialog::accept);

  handle([this] { core_.open(); });
}

QCheckBox* OptionsDialog::makeBox(const char* objectName, const QString& caption, int top,
                                  void (OptionsController::*click)(bool)) {
  auto* box = new QCheckBox(caption, this);
  box->setObjectName(QLatin1String(objectName));
  box->move(24, top);
  box->adjustSize();
  // `clicked` comes from the user only; the core runs the handlers of its own changes.
  connect(box, &QCheckBox::clicked, this, [this, click](bool ticked) { handle([&] { (core_.*click)(ticked); }); });
  return box;
}

void OptionsDialog::handle(const std::function<void()>& handler) {
  run_(handler);
  showState();
}

void OptionsDialog::showState() {
  CheckBoxGrafik_->setChecked(core_.CheckBoxGrafik);
  CheckBoxStarr_->setChecked(core_.CheckBoxStarr);
  CheckBoxBaro_->setChecked(core_.CheckBoxBaro);
  CheckBoxBaro_->setVisible(core_.CheckBoxBaroVisible);
}

}  // namespace trelvano
