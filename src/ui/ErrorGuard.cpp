#include "ui/ErrorGuard.h"

#include "model/RunError.h"

#include <QMessageBox>
#include <new>

namespace trelvano {

void showErrorBox(QWidget* parent, const QString& text) {
  QMessageBox::critical(parent, QStringLiteral("Trelvano"), text, QMessageBox::Ok);
}

ErrorGuard::ErrorGuard(QWidget* parent)
    : parent_(parent), presenter_([parent](const QString& text) { showErrorBox(parent, text); }) {}

bool ErrorGuard::run(const std::function<void()>& handler) {
  try {
    handler();
    return true;
  } catch (const RunError& e) {
    presenter_(e.boxText());
  } catch (const std::bad_alloc&) {
    presenter_(QStringLiteral("Zu wenig Arbeitsspeicher"));
  } catch (const std::exception& e) {
    presenter_(QString::fromUtf8(e.what()));
  }
  return false;
}

}  // namespace trelvano
