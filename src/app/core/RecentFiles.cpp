#include "app/core/RecentFiles.h"

#include <QDir>

namespace trelvano {

namespace {
// "/a/./b.igc" and "/a/b.igc" are one file.
QString sameFileForm(const QString& path) { return path.isEmpty() ? path : QDir::cleanPath(path); }
}  // namespace

RecentFiles::RecentFiles(const QStringList& stored) {
  // Oldest first, so the first stored entry ends at the front.
  for (auto it = stored.crbegin(); it != stored.crend(); ++it) add(*it);
}

void RecentFiles::add(const QString& path) {
  const QString file = sameFileForm(path);
  if (file.isEmpty()) return;
  paths_.removeAll(file);
  paths_.prepend(file);
  while (paths_.size() > kMaxRecentFiles) paths_.removeLast();
}

void RecentFiles::remove(const QString& path) { paths_.removeAll(sameFileForm(path)); }

}  // namespace trelvano
