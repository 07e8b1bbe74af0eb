#pragma once
// A real, small file system for the tests of what happens when a disk is
// full or read-only: a tmpfs mounted on a temporary folder. Mounting needs
// root (or the capability to mount); elsewhere `skipReason` says why not.

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QString>
#include <QTemporaryDir>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/mount.h>
#include <unistd.h>

namespace trelvano {

class SmallFileSystem {
 public:
  explicit SmallFileSystem(const char* size = "size=512k") {
    const QByteArray at = QFile::encodeName(dir_.path());
    if (::mount("tmpfs", at.constData(), "tmpfs", 0, size) == 0) {
      mounted_ = true;
    } else {
      skipReason = QStringLiteral("cannot mount a tmpfs here (%1): the test needs root or CAP_SYS_ADMIN")
                       .arg(QString::fromLocal8Bit(std::strerror(errno)));
    }
  }
  ~SmallFileSystem() {
    if (mounted_) ::umount2(QFile::encodeName(dir_.path()).constData(), MNT_DETACH);
  }
  SmallFileSystem(const SmallFileSystem&) = delete;
  SmallFileSystem& operator=(const SmallFileSystem&) = delete;

  bool mounted() const { return mounted_; }
  QString path(const QString& name) const { return dir_.filePath(name); }
  QStringList files() const { return QDir(dir_.path()).entryList(QDir::Files | QDir::Hidden); }

  // Takes every free block with a file of its own ("filler").
  void fill() {
    const int fd =
        ::open(QFile::encodeName(path(QStringLiteral("filler"))).constData(), O_WRONLY | O_CREAT | O_APPEND, 0644);
    char block[4096] = {};
    while (::write(fd, block, sizeof block) > 0) {
    }
    while (::write(fd, block, 1) > 0) {
    }
    ::close(fd);
  }
  void unfill() { QFile::remove(path(QStringLiteral("filler"))); }
  // Mounts the file system again read-only (true) or writable (false).
  bool readOnly(bool on) {
    return ::mount(nullptr, QFile::encodeName(dir_.path()).constData(), nullptr, MS_REMOUNT | (on ? MS_RDONLY : 0),
                   nullptr) == 0;
  }

  QString skipReason;

 private:
  QTemporaryDir dir_;
  bool mounted_ = false;
};

}  // namespace trelvano
