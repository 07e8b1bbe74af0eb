#include "import/FileBytes.h"

#include "ImportTestSupport.h"
#include "common/TestPaths.h"

#include <QDir>
#include <QTemporaryDir>

#include <csignal>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

namespace file_bytes_test {

using namespace trelvano;

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

// A save that cannot complete (here: the process may write no more than 64 KB
// per file) reports the error and leaves the file it was to replace whole,
// with no temporary file beside it; a save that completes replaces it.
TEST(WriteWholeFile, AFailedWriteLeavesTheOldFileWhole) {
  QTemporaryDir dir;
  const QString path =
      writeBytes(dir.filePath(QStringLiteral("rundflug.igc")), "B1200004807038N01131456EA0010000150\r\n");
  const QByteArray old = readBytes(path);
  rlimit limit{};
  ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &limit), 0);
  const rlimit small{64 << 10, limit.rlim_max};
  const auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
  ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
  const auto e = errorOf([&] { writeWholeFile(path, QByteArray(1 << 20, 'x')); });
  ::setrlimit(RLIMIT_FSIZE, &limit);
  std::signal(SIGXFSZ, previousHandler);
  ASSERT_TRUE(e);
  EXPECT_EQ(e->boxText(),
            QStringLiteral("E/A-Fehler 101\nDie Datei ist zu groß für das Dateisystem\nDatei rundflug.igc"));
  EXPECT_EQ(readBytes(path), old);
  EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{QStringLiteral("rundflug.igc")});

  writeWholeFile(path, "neu");
  EXPECT_EQ(readBytes(path), QByteArray("neu"));
  EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{QStringLiteral("rundflug.igc")});
}

}  // namespace

}  // namespace file_bytes_test
