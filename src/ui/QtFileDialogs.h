#pragma once
#include "ui/FileDialogs.h"

#include <QStringList>

class QSettings;
class QWidget;

namespace trelvano {

// The entries of a filter ("*.bmp;;Bilder (*.png *.jpg)") for the dialog, each
// pattern also in upper case: loggers and recorders write ".IGC" as often as
// ".igc", cameras ".JPG" as often as ".jpg".
QStringList nameFiltersWithUpperCase(const QString& filter);

// The suffix of a filter's first pattern ("*.png" → "png"); empty when it has none.
QString defaultSuffixOf(const QString& filter);

// The shared open and save dialogs as Qt file dialogs. Each starts with the
// command's proposed name in its name field; the save dialog asks before it
// replaces a file and adds the filter's suffix to a name typed without one.
class QtFileDialogs : public FileDialogs {
 public:
  explicit QtFileDialogs(QWidget* parent) : parent_(parent) {}
  // Each dialog (told by its filter) opens in the folder it was last left
  // in, kept in `settings`; without settings Qt's own choice stays.
  void rememberFoldersIn(QSettings* settings) { settings_ = settings; }
  QString openFile(const QString& filter, const QString& title, const QString& initialName) override;
  QString saveFile(const QString& filter, const QString& title, const QString& initialName) override;
  QStringList openFiles(const QString& filter, const QString& title) override;
  QString chooseFolder(const QString& title, const QString& current) override;

 private:
  QString run(bool save, const QString& filter, const QString& title, const QString& initialName);
  QWidget* parent_;
  QSettings* settings_ = nullptr;
};

}  // namespace trelvano
