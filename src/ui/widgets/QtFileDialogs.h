#pragma once
#include "ui/FileDialogs.h"

class QWidget;

// The shared open and save dialogs as Qt file dialogs.
class QtFileDialogs : public FileDialogs {
 public:
  explicit QtFileDialogs(QWidget* parent) : parent_(parent) {}
  QString openFile(const QString& filter, const QString& title, const QString& initialName) override;
  QString saveFile(const QString& filter, const QString& title, const QString& initialName) override;

 private:
  QString run(bool save, const QString& filter, const QString& title, const QString& initialName);
  QWidget* parent_;
};
