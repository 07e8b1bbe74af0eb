#include "import/FileBytes.h"

#include "ImportTestSupport.h"
#include "common/TestPaths.h"

#include <QDir>

namespace {

TEST(ReadWholeFile, ReadsEveryByteOrReportsThatTheFileCannotBeOpened) {
  const QString path = dataPath(QStringLiteral("igc/crlf-long-southwest-oudie.igc"));
  QByteArray bytes = "left from before";
  ASSERT_TRUE(readWholeFile(path, bytes));
  EXPECT_EQ(bytes, readBytes(path));

  EXPECT_FALSE(readWholeFile(dataPath(QStringLiteral("igc/no-such-file.igc")), bytes));
  EXPECT_FALSE(readWholeFile(QString(), bytes));
  EXPECT_FALSE(readWholeFile(QDir::tempPath(), bytes));  // a directory
}

TEST(ReadWholeFile, ReadErrorAfterOpeningIsReported) {
  // Reading this process's memory from address 0 opens fine and then fails with EIO.
  QByteArray bytes;
  const auto e = errorOf([&] { readWholeFile(QStringLiteral("/proc/self/mem"), bytes); });
  ASSERT_TRUE(e);
  EXPECT_EQ(e->text(), QStringLiteral("E/A-Fehler 5"));
  EXPECT_EQ(e->detail(), QStringLiteral("/proc/self/mem"));
}

}  // namespace
