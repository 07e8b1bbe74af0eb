#include "import/FileBytes.h"

#include "ImportTestSupport.h"
#include "common/TestPaths.h"

#include <QDir>
#include <QTemporaryDir>

#include <sys/stat.h>
#include <unistd.h>

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

// A FIFO would block the open for ever and /dev/zero never ends: only plain
// files are read. A file beyond the bound is refused before reading.
TEST(ReadWholeFile, OnlyPlainFilesOfASaneSize) {
  QTemporaryDir dir;
  const QString fifo = dir.filePath(QStringLiteral("pipe.igc"));
  ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
  QByteArray bytes = "kept";
  EXPECT_FALSE(readWholeFile(fifo, bytes));
  EXPECT_FALSE(readWholeFile(QStringLiteral("/dev/zero"), bytes));
  EXPECT_FALSE(readWholeFile(QStringLiteral("/dev/null"), bytes));

  // Sparse files: no disk space, any size.
  const auto sized = [&](const char* name, qint64 size) {
    const QString path = dir.filePath(QLatin1String(name));
    QFile f(path);
    EXPECT_TRUE(f.open(QIODevice::WriteOnly) && f.resize(size));
    return path;
  };
  EXPECT_TRUE(readWholeFile(sized("limit.igc", kMaxFileBytes), bytes));
  EXPECT_EQ(bytes.size(), kMaxFileBytes);
  bytes = "kept";
  const QString huge = sized("huge.igc", qint64{2} << 30);
  const auto e = errorOf([&] { readWholeFile(huge, bytes); });
  ASSERT_TRUE(e);
  EXPECT_EQ(e->boxText(), QStringLiteral("Datei zu groß (2048 MB, höchstens 64 MB)\n") + huge);
  EXPECT_EQ(bytes, QByteArray("kept"));
  const auto justOver = errorOf([&] { readWholeFile(sized("over.igc", kMaxFileBytes + 1), bytes); });
  ASSERT_TRUE(justOver);
  EXPECT_TRUE(justOver->text().startsWith(QStringLiteral("Datei zu groß (65 MB")));
}

}  // namespace
