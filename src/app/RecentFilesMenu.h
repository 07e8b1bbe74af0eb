#pragma once
// "Datei" → "Zuletzt geöffnet": one entry per recent flight, kept between runs
// in the settings the window is given.

#include "app/core/RecentFiles.h"
#include "ui/ErrorGuard.h"

#include <QMenu>
#include <functional>

class QSettings;

namespace trelvano {

class RecentFilesMenu : public QMenu {
 public:
  // A chosen entry runs `open` with its path through `run`; when `open`
  // reports the file gone (RunErrorKind::FileNotFound), the entry leaves the list.
  RecentFilesMenu(QWidget* parent, GuardedRunner run, std::function<void(const QString&)> open);

  // Takes the list from `settings` and writes every change back there.
  void keepIn(QSettings* settings);
  // A flight loaded from `path` (made absolute here).
  void noteLoaded(const QString& path);
  const RecentFiles& files() const { return files_; }

 private:
  void choose(const QString& path);
  void changed();
  void rebuild();

  RecentFiles files_;
  GuardedRunner run_;
  std::function<void(const QString&)> open_;
  QSettings* settings_ = nullptr;
};

}  // namespace trelvano
