#include "app/RecentFilesMenu.h"

#include "model/RunError.h"

#include <QDir>
#include <QFileInfo>
#include <QSettings>

namespace trelvano {

namespace {
const QString kSettingsKey = QStringLiteral("recentFiles");
}

RecentFilesMenu::RecentFilesMenu(QWidget* parent, GuardedRunner run, std::function<void(const QString&)> open)
    : QMenu(QStringLiteral("Zuletzt geöffnet"), parent), run_(std::move(run)), open_(std::move(open)) {
  setObjectName(QStringLiteral("ZuletztGeoeffnet1"));
  // The entries are made when the menu opens: a change can come while one of
  // them is still being triggered.
  connect(this, &QMenu::aboutToShow, this, &RecentFilesMenu::rebuild);
  setEnabled(false);
}

void RecentFilesMenu::keepIn(QSettings* settings) {
  settings_ = settings;
  if (settings_) files_ = RecentFiles(settings_->value(kSettingsKey).toStringList());
  setEnabled(!files_.paths().isEmpty());
}

void RecentFilesMenu::noteLoaded(const QString& path) {
  if (path.isEmpty()) return;
  files_.add(QFileInfo(path).absoluteFilePath());
  changed();
}

void RecentFilesMenu::choose(const QString& path) {
  run_([this, path] {
    try {
      open_(path);  // opening by name reports a file that is gone ("Datei nicht gefunden")
    } catch (const RunError& e) {
      if (e.kind() == RunErrorKind::FileNotFound) {
        files_.remove(path);
        changed();
      }
      throw;
    }
  });
}

void RecentFilesMenu::changed() {
  if (settings_) {
    settings_->setValue(kSettingsKey, files_.paths());
    settings_->sync();  // a run that is killed keeps the list too
  }
  setEnabled(!files_.paths().isEmpty());
}

void RecentFilesMenu::rebuild() {
  clear();
  const QStringList& paths = files_.paths();
  for (qsizetype k = 0; k < paths.size(); ++k) {
    const QString path = paths[k];
    QString caption = QDir::toNativeSeparators(path);
    caption.replace(QLatin1Char('&'), QLatin1String("&&"));
    QAction* entry = addAction(QStringLiteral("&%1 %2").arg(k + 1).arg(caption));
    connect(entry, &QAction::triggered, this, [this, path] { choose(path); });
  }
}

}  // namespace trelvano
