#include "import/FileBytes.h"

#include "model/RunError.h"

#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace trelvano {

namespace {
// Closes the descriptor on every way out.
struct FileDescriptor {
  int fd;
  ~FileDescriptor() {
    if (fd >= 0) ::close(fd);
  }
};
constexpr qsizetype kReadChunk = 1 << 16;

// I/O codes of the error box "E/A-Fehler %d".
constexpr int kIoFileNotFound = 2;  // any other reason a file cannot be created
constexpr int kIoPathNotFound = 3;  // a directory on the way is missing
constexpr int kIoTooManyOpenFiles = 4;
constexpr int kIoAccessDenied = 5;  // no permission, read-only medium, a directory
constexpr int kIoWriteFault = 101;  // failed or short write, disk full

int ioCodeForOpenFailure(int err) {
  switch (err) {
    case ENOENT:
    case ENOTDIR:
    case ENAMETOOLONG: return kIoPathNotFound;
    case EACCES:
    case EPERM:
    case EROFS:
    case EISDIR:
    case ETXTBSY: return kIoAccessDenied;
    case EMFILE:
    case ENFILE: return kIoTooManyOpenFiles;
    default: return kIoFileNotFound;
  }
}

}  // namespace

bool readWholeFile(const QString& path, QByteArray& bytes) {
  const QByteArray native = QFile::encodeName(path);
  // Without O_NONBLOCK opening a FIFO would wait for a writer for ever.
  const FileDescriptor file{native.isEmpty() ? -1 : ::open(native.constData(), O_RDONLY | O_CLOEXEC | O_NONBLOCK)};
  if (file.fd < 0) return false;
  struct stat info {};
  if (::fstat(file.fd, &info) != 0 || !S_ISREG(info.st_mode)) return false;
  if (info.st_size > kMaxFileBytes) throw RunError::fileTooLarge(info.st_size, kMaxFileBytes, path);

  // The size is a first guess only; read until the end whatever it says.
  qsizetype size = 0;
  bytes.resize(info.st_size > 0 ? static_cast<qsizetype>(info.st_size) + 1 : kReadChunk);
  for (;;) {
    if (size == bytes.size()) bytes.resize(bytes.size() + kReadChunk);
    const ssize_t got = ::read(file.fd, bytes.data() + size, static_cast<size_t>(bytes.size() - size));
    if (got < 0) {
      if (errno == EINTR) continue;
      const int code = errno;
      bytes.clear();
      throw RunError::io(code, path);
    }
    if (got == 0) break;
    size += got;
    // A file that grows while it is read.
    if (size > kMaxFileBytes) {
      bytes.clear();
      throw RunError::fileTooLarge(size, kMaxFileBytes, path);
    }
  }
  bytes.resize(size);
  return true;
}

QByteArray readFileHead(const QString& path, qsizetype count) {
  const QByteArray native = QFile::encodeName(path);
  const FileDescriptor file{native.isEmpty() ? -1 : ::open(native.constData(), O_RDONLY | O_CLOEXEC | O_NONBLOCK)};
  struct stat info {};
  if (file.fd < 0 || ::fstat(file.fd, &info) != 0 || !S_ISREG(info.st_mode)) return {};
  QByteArray head(count, Qt::Uninitialized);
  qsizetype size = 0;
  while (size < count) {
    const ssize_t got = ::read(file.fd, head.data() + size, static_cast<size_t>(count - size));
    if (got < 0 && errno == EINTR) continue;
    if (got <= 0) break;
    size += got;
  }
  head.resize(size);
  return head;
}

namespace {

// Writes all of `bytes` to `fd`; the errno of the failure, or 0.
int writeAll(int fd, const QByteArray& bytes) {
  qsizetype written = 0;
  while (written < bytes.size()) {
    const ssize_t n = ::write(fd, bytes.constData() + written, size_t(bytes.size() - written));
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return errno;
    if (n == 0) return ENOSPC;
    written += n;
  }
  return 0;
}

// A device or FIFO named as the target: there is no file to keep whole, and a
// rename would replace the device node itself, so it is written in place.
void writeInPlace(const QString& path, const QByteArray& bytes) {
  const QByteArray native = QFile::encodeName(path);
  int fd;
  do {
    fd = ::open(native.constData(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
  } while (fd < 0 && errno == EINTR);
  if (fd < 0) throw RunError::ioWrite(ioCodeForOpenFailure(errno), errno, path);
  int err = writeAll(fd, bytes);
  // close() can be the first to report a full disk (network file systems).
  if (::close(fd) != 0 && errno != EINTR && err == 0) err = errno;
  if (err != 0) throw RunError::ioWrite(kIoWriteFault, err, path);
}

}  // namespace

void writeWholeFile(const QString& path, const QByteArray& bytes) {
  const QByteArray native = QFile::encodeName(path);
  if (native.isEmpty()) throw RunError::ioWrite(kIoPathNotFound, ENOENT, path);
  struct stat info {};
  const bool exists = ::stat(native.constData(), &info) == 0;
  if (exists) {
    if (S_ISDIR(info.st_mode)) throw RunError::ioWrite(kIoAccessDenied, EISDIR, path);
    if (!S_ISREG(info.st_mode)) return writeInPlace(path, bytes);
    // A rename would replace a file the user protected against writing (its
    // write bits count even for a user the system would let write).
    if ((info.st_mode & 0222) == 0 || (::access(native.constData(), W_OK) != 0 && errno == EACCES))
      throw RunError::ioWrite(kIoAccessDenied, EACCES, path).withCause(QStringLiteral("Datei ist schreibgeschützt"));
  }

  // The bytes go to a temporary file beside the target, which replaces the
  // target only once everything is written and on the disk: a failed write
  // (a full disk, a read-only folder) keeps the old file byte for byte.
  QByteArray temporary = native + ".XXXXXX";
  int fd = ::mkostemp(temporary.data(), O_CLOEXEC);
  if (fd < 0) throw RunError::ioWrite(ioCodeForOpenFailure(errno), errno, path);
  auto fail = [&](int err) {
    if (fd >= 0) ::close(fd);
    ::unlink(temporary.constData());
    return RunError::ioWrite(kIoWriteFault, err, path);
  };
  // mkostemp makes the file 0600; a new file gets the usual permissions, a
  // replaced one keeps its own.
  mode_t mode = exists ? (info.st_mode & 07777) : 0666;
  if (!exists) {
    const mode_t mask = ::umask(0);
    ::umask(mask);
    mode &= ~mask;
  }
  if (::fchmod(fd, mode) != 0) throw fail(errno);
  if (const int err = writeAll(fd, bytes)) throw fail(err);
  if (::fsync(fd) != 0) throw fail(errno);
  const int closed = ::close(fd);
  fd = -1;
  if (closed != 0 && errno != EINTR) throw fail(errno);
  if (::rename(temporary.constData(), native.constData()) != 0) throw fail(errno);
  // The rename itself lasts once the folder is on the disk; a folder that
  // cannot be synced (some network file systems) still holds the whole file.
  const QByteArray folder = QFile::encodeName(QFileInfo(path).absolutePath());
  const int dir = ::open(folder.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (dir >= 0) {
    ::fsync(dir);
    ::close(dir);
  }
}

}  // namespace trelvano
