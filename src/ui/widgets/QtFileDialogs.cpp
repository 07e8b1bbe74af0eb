#include "ui/widgets/QtFileDialogs.h"

#include <QFileDialog>

QString QtFileDialogs::openFile(const QString& filter, const QString& title, const QString& initialName) {
  return run(false, filter, title, initialName);
}

QString QtFileDialogs::saveFile(const QString& filter, const QString& title, const QString& initialName) {
  return run(true, filter, title, initialName);
}

QString QtFileDialogs::run(bool save, const QString& filter, const QString& title, const QString& initialName) {
  QFileDialog dialog(parent_, title);
  dialog.setOption(QFileDialog::DontUseNativeDialog);
  dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
  dialog.setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
  // Loggers and recorders write ".IGC" as often as ".igc": offer both spellings.
  dialog.setNameFilter(filter == filter.toUpper() ? filter : filter + QLatin1Char(' ') + filter.toUpper());
  dialog.setOption(QFileDialog::DontConfirmOverwrite);
  if (!initialName.contains(QLatin1Char('*'))) dialog.selectFile(initialName);
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
  return dialog.selectedFiles().first();
}
