#include "app/core/RecentFiles.h"

#include <gtest/gtest.h>

namespace recent_files_test {

using namespace trelvano;

TEST(RecentFiles, MostRecentFirstEachOnceAtMostEight) {
  const QStringList stored{"/f/1.igc", "/f/2.igc", "",         "/f/1.igc", "/f/3.igc", "/f/4.igc",
                           "/f/5.igc", "/f/6.igc", "/f/7.igc", "/f/8.igc", "/f/9.igc"};
  RecentFiles recent(stored);
  recent.add(QStringLiteral("/f/./6.igc"));  // the same file written another way
  recent.add(QString());
  recent.remove(QStringLiteral("/f/2.igc"));
  EXPECT_EQ(recent.paths(),
            (QStringList{"/f/6.igc", "/f/1.igc", "/f/3.igc", "/f/4.igc", "/f/5.igc", "/f/7.igc", "/f/8.igc"}));
}

}  // namespace recent_files_test
