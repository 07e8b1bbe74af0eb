#include "import/FileBytes.h"

#include "model/RunError.h"

#include <QFile>

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
