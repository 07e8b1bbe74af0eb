#include "ui/QtFileDialogs.h"

#include <QFileDialog>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSettings>

namespace trelvano {

namespace {
// One key per filter; a slash would open a settings group, the settings
// escape every other character themselves.
QString folderKey(QString filter) {
  return QStringLiteral("fileDialogFolders/") +
         filter.replace(QLatin1Char('/'), QLatin1Char('|')).replace(QLatin1Char('\\'), QLatin1Char('|'));
}
}  // namespace

QStringList nameFiltersWithUpperCase(const QString& filter) {
  QStringList entries = filter.split(QStringLiteral(";;"));
  for (QString& entry : entries) {
    // The patterns are the text in parentheses, or the whole entry when it has none.
    const qsizetype open = entry.indexOf(QLatin1Char('('));
    const qsizetype close = entry.lastIndexOf(QLatin1Char(')'));
    const bool named = open >= 0 && close > open;
    const QString patterns = named ? entry.mid(open + 1, close - open - 1) : entry;
    if (patterns == patterns.toUpper()) continue;
    const QString both = patterns + QLatin1Char(' ') + patterns.toUpper();
    entry = named ? entry.left(open + 1) + both + entry.mid(close) : both;
  }
  return entries;
}

QString QtFileDialogs::openFile(const QString& filter, const QString& title, const QString& initialName) {
  return run(false, filter, title, initialName);
}

QString QtFileDialogs::saveFile(const QString& filter, const QString& title, const QString& initialName) {
  return run(true, filter, title, initialName);
}

QStringList QtFileDialogs::openFiles(const QString& filter, const QString& title) {
  return QFileDialog::getOpenFileNames(parent_, title, {}, filter, nullptr, QFileDialog::DontUseNativeDialog);
}

QString QtFileDialogs::chooseFolder(const QString& title, const QString& current) {
  return QFileDialog::getExistingDirectory(parent_, title, current,
                                           QFileDialog::ShowDirsOnly | QFileDialog::DontUseNativeDialog);
}

namespace {

// The shared dialog. A name typed with wildcards ("*.par", the name every
// command proposes) filters the list instead of choosing a file called so.
class FileDialog : public QFileDialog {
 public:
  using QFileDialog::QFileDialog;

 protected:
  void accept() override {
    const QString typed = QFileInfo(selectedFiles().value(0)).fileName();
    if (typed.contains(QLatin1Char('*')) || typed.contains(QLatin1Char('?'))) {
      setNameFilter(typed);
      return;
    }
    // Saving over an existing file asks first (Qt's own question; No returns here).
    QFileDialog::accept();
  }
};

}  // namespace

QString defaultSuffixOf(const QString& filter) {
  static const QRegularExpression kPattern(QStringLiteral("\\*\\.([A-Za-z0-9]+)"));
  return kPattern.match(filter).captured(1);
}

QString QtFileDialogs::run(bool save, const QString& filter, const QString& title, const QString& initialName) {
  FileDialog dialog(parent_, title);
  dialog.setOption(QFileDialog::DontUseNativeDialog);
  dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
  dialog.setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
  dialog.setNameFilters(nameFiltersWithUpperCase(filter));
  // A name typed without a suffix gets the filter's.
  if (save) dialog.setDefaultSuffix(defaultSuffixOf(filter));
  // A command that proposes a full path keeps its folder itself (the
  // exports); the others open where this filter's dialog was last left.
  const QFileInfo proposed(initialName);
  const bool ownFolder = proposed.isAbsolute();
  if (ownFolder) {
    if (proposed.absoluteDir().exists()) dialog.setDirectory(proposed.absolutePath());
  } else if (settings_) {
    const QString folder = settings_->value(folderKey(filter)).toString();
    if (!folder.isEmpty() && QFileInfo(folder).isDir()) dialog.setDirectory(folder);
  }
  dialog.selectFile(ownFolder ? proposed.fileName() : initialName);
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
  const QString chosen = dialog.selectedFiles().first();
  if (settings_ && !ownFolder) settings_->setValue(folderKey(filter), QFileInfo(chosen).absolutePath());
  return chosen;
}

}  // namespace trelvano
