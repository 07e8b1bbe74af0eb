#pragma once
// The shared open and save dialogs of the main window, behind an interface so
// the commands can be driven headless (tests answer them, trelvano-dump
// cancels them).

#include <QString>

namespace trelvano {

class FileDialogs {
 public:
  virtual ~FileDialogs() = default;
  // The chosen path, or an empty string when the user cancels.
  virtual QString openFile(const QString& filter, const QString& title, const QString& initialName) = 0;
  virtual QString saveFile(const QString& filter, const QString& title, const QString& initialName) = 0;
};

// Answers every dialog with "cancel".
class CancelAllDialogs : public FileDialogs {
 public:
  QString openFile(const QString&, const QString&, const QString&) override { return {}; }
  QString saveFile(const QString&, const QString&, const QString&) override { return {}; }
};

}  // namespace trelvano
