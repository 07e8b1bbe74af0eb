#include "app/core/RecentFiles.h"

#include <gtest/gtest.h>

namespace {
QStringList numbered(int from, int to) {
  QStringList paths;
  for (int k = from; k <= to; ++k) paths << QStringLiteral("/f/%1.igc").arg(k);
  return paths;
}
}  // namespace

TEST(RecentFiles, MostRecentFirstEachOnceAtMostEight) {
  RecentFiles recent;
  for (const QString& path : numbered(1, 10)) recent.add(path);
  EXPECT_EQ(recent.paths(), (QStringList{"/f/10.igc", "/f/9.igc", "/f/8.igc", "/f/7.igc", "/f/6.igc",
                                         "/f/5.igc", "/f/4.igc", "/f/3.igc"}));
  recent.add(QStringLiteral("/f/./6.igc"));  // the same file written another way moves to the front
  recent.add(QString());
  EXPECT_EQ(recent.paths().mid(0, 3), (QStringList{"/f/6.igc", "/f/10.igc", "/f/9.igc"}));
  EXPECT_EQ(recent.paths().size(), kMaxRecentFiles);
  recent.remove(QStringLiteral("/f/10.igc"));
  recent.remove(QStringLiteral("/f/gone.igc"));
  EXPECT_EQ(recent.paths().mid(0, 2), (QStringList{"/f/6.igc", "/f/9.igc"}));
  EXPECT_EQ(recent.paths().size(), kMaxRecentFiles - 1);
}

TEST(RecentFiles, AStoredListIsCleanedInItsOrder) {
  QStringList stored = numbered(1, 3);
  stored << "" << "/f/1.igc" << numbered(4, 9);
  EXPECT_EQ(RecentFiles(stored).paths(), numbered(1, 8));
}
