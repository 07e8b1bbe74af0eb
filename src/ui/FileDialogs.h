#pragma once
// The shared open and save dialogs of the main window, behind an interface so
// the commands can be driven headless (tests answer them, trelvano-dump
// cancels them).

#include <QString>
#include <QStringList>

namespace trelvano {

class FileDialogs {
 public:
  virtual ~FileDialogs() = default;
  // The chosen path, or an empty string when the user cancels.
  virtual QString openFile(const QString& filter, const QString& title, const QString& initialName) = 0;
  virtual QString saveFile(const QString& filter, const QString& title, const QString& initialName) = 0;
  // Several files at once (none when cancelled); by default the one of openFile.
  virtual QStringList openFiles(const QString& filter, const QString& title) {
    const QString path = openFile(filter, title, {});
    return path.isEmpty() ? QStringList() : QStringList{path};
  }
  // A folder, starting at `current`; empty when cancelled (and by default).
  virtual QString chooseFolder(const QString& /*title*/, const QString& /*current*/) { return {}; }
};

// Answers every dialog with "cancel".
class CancelAllDialogs : public FileDialogs {
 public:
  QString openFile(const QString&, const QString&, const QString&) override { return {}; }
  QString saveFile(const QString&, const QString&, const QString&) override { return {}; }
};

}  // namespace trelvano
