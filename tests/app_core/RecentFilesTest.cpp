#include "app/core/RecentFiles.h"

#include <gtest/gtest.h>

TEST(RecentFiles, MostRecentFirstEachOnceAtMostEight) {
  QStringList tenFiles;
  for (int k = 1; k <= 10; ++k) tenFiles << QStringLiteral("/f/%1.igc").arg(k);
  RecentFiles recent(tenFiles + QStringList{"", "/f/1.igc"});  // stored: the first eight stay
  EXPECT_EQ(recent.paths(), tenFiles.mid(0, 8));
  recent.add(QStringLiteral("/f/./6.igc"));  // the same file written another way moves to the front
  recent.add(QStringLiteral("/f/new.igc"));
  recent.add(QString());
  recent.remove(QStringLiteral("/f/2.igc"));
  EXPECT_EQ(recent.paths(), (QStringList{"/f/new.igc", "/f/6.igc", "/f/1.igc", "/f/3.igc", "/f/4.igc",
                                         "/f/5.igc", "/f/7.igc"}));
}
