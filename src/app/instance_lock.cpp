#include "app/instance_lock.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

InstanceLock::InstanceLock(const std::string& path) {
  // Close-on-exec keeps helper processes the media layer starts from
  // inheriting the lock and outliving us with it.
  fd_ = open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
  if (fd_ < 0)
    return;
  struct stat status {};
  // A lock file planted by another user must not turn every launch of ours
  // into a second launch.
  if (fstat(fd_, &status) != 0 || status.st_uid != geteuid()) {
    Release();
    return;
  }
  int result;
  do
    result = flock(fd_, LOCK_EX | LOCK_NB);
  while (result != 0 && errno == EINTR);
  if (result == 0) {
    state_ = State::Acquired;
    return;
  }
  const bool held = errno == EWOULDBLOCK;
  Release();
  state_ = held ? State::HeldElsewhere : State::Unavailable;
}

InstanceLock::~InstanceLock() {
  Release();
}

void InstanceLock::Release() {
  if (fd_ >= 0)
    close(fd_);
  fd_ = -1;
}
