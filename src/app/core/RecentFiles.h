#pragma once
// "Datei" → "Zuletzt geöffnet": the flights opened last, most recent first,
// each file once, at most kMaxRecentFiles. A plain list; the window keeps it
// between runs.

#include <QStringList>

namespace trelvano {

constexpr int kMaxRecentFiles = 8;

class RecentFiles {
 public:
  // From a stored list: empty entries and repeats are dropped, the first
  // kMaxRecentFiles kept.
  explicit RecentFiles(const QStringList& stored = {});

  // `path` goes to the front; an earlier entry of the same file leaves, the
  // oldest falls off beyond kMaxRecentFiles. An empty path changes nothing.
  void add(const QString& path);
  // Takes `path` off the list (a file that is gone).
  void remove(const QString& path);

  const QStringList& paths() const { return paths_; }

 private:
  QStringList paths_;
};

}  // namespace trelvano
