#include "support/write_protect.h"

#include <QFile>
#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

bool SetImmutable(const QByteArray& directory, bool on) {
  const int fd = open(directory.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0)
    return false;
  int flags = 0;
  bool done = ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0;
  if (done) {
    flags = on ? flags | FS_IMMUTABLE_FL : flags & ~FS_IMMUTABLE_FL;
    done = ioctl(fd, FS_IOC_SETFLAGS, &flags) == 0;
  }
  close(fd);
  return done;
}

} // namespace

DirectoryWriteProtection::DirectoryWriteProtection(const QString& directory)
    : directory_(QFile::encodeName(directory)) {
  if (geteuid() == 0)
    immutable_ = SetImmutable(directory_, true);
  else
    readOnly_ = chmod(directory_.constData(), 0555) == 0;
  // Only a directory that really refuses a new file counts.
  const QByteArray probe = directory_ + "/probe";
  const int fd = open(probe.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
  active_ = fd < 0 && (immutable_ || readOnly_);
  if (fd >= 0) {
    close(fd);
    unlink(probe.constData());
  }
  if (!active_)
    Undo();
}

DirectoryWriteProtection::~DirectoryWriteProtection() {
  Undo();
}

void DirectoryWriteProtection::Undo() {
  if (immutable_)
    SetImmutable(directory_, false);
  if (readOnly_)
    chmod(directory_.constData(), 0700);
  immutable_ = readOnly_ = false;
}
