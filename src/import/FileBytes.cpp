#include "import/FileBytes.h"

#include "model/RunError.h"

#include <QFile>
#include <QSaveFile>

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

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
    case ENAMETOOLONG:
      return kIoPathNotFound;
    case EACCES:
    case EPERM:
    case EROFS:
    case EISDIR:
    case ETXTBSY:
      return kIoAccessDenied;
    case EMFILE:
    case ENFILE:
      return kIoTooManyOpenFiles;
    default:
      return kIoFileNotFound;
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

namespace {

// A device or FIFO named as the target: there is no file to keep whole, and a
// rename would replace the device node itself, so it is written in place.
void writeInPlace(const QString& path, const QByteArray& bytes) {
  // Plain POSIX calls: the reason of a failure (errno) decides the code shown.
  const QByteArray native = QFile::encodeName(path);
  int fd;
  do {
    fd = ::open(native.constData(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
  } while (fd < 0 && errno == EINTR);
  if (fd < 0) throw RunError::io(ioCodeForOpenFailure(errno), path);

  qsizetype written = 0;
  bool failed = false;
  while (written < bytes.size()) {
    const ssize_t n = ::write(fd, bytes.constData() + written, bytes.size() - written);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      failed = true;
      break;
    }
    written += n;
  }
  // close() can be the first to report a full disk (network file systems).
  if (::close(fd) != 0 && errno != EINTR) failed = true;
  if (failed) throw RunError::io(kIoWriteFault, path);
}

}  // namespace

void writeWholeFile(const QString& path, const QByteArray& bytes) {
  struct stat info {};
  if (::stat(QFile::encodeName(path).constData(), &info) == 0) {
    if (S_ISDIR(info.st_mode)) throw RunError::io(kIoAccessDenied, path);
    if (!S_ISREG(info.st_mode)) return writeInPlace(path, bytes);
  }
  // The bytes go to a temporary file beside the target, which replaces the
  // target only once everything is written: a failed write keeps the old file.
  QSaveFile file(path);
  file.setDirectWriteFallback(false);
  errno = 0;
  if (!file.open(QIODevice::WriteOnly)) throw RunError::io(ioCodeForOpenFailure(errno ? errno : EACCES), path);
  if (file.write(bytes) != bytes.size() || !file.commit()) throw RunError::io(kIoWriteFault, path);
}
