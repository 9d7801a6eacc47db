#include "rules/handoff_inbox.h"

#include "rules/handoff_files.h"
#include "rules/handoff_parts.h"

#include <cerrno>
#include <dirent.h>
#include <fcntl.h>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>

namespace {

struct DirCloser {
  void operator()(DIR* dir) const { closedir(dir); }
};

class FileDescriptor {
public:
  explicit FileDescriptor(int fd) : fd_(fd) {}
  ~FileDescriptor() {
    if (fd_ >= 0)
      close(fd_);
  }
  FileDescriptor(const FileDescriptor&) = delete;
  FileDescriptor& operator=(const FileDescriptor&) = delete;
  int Get() const { return fd_; }

private:
  int fd_;
};

// At most kHandOffReadLimit bytes; the text ends at the first NUL. A failed
// read leaves whatever arrived before it.
QByteArray ReadText(int fd) {
  QByteArray buffer(kHandOffReadLimit, '\0');
  qsizetype filled = 0;
  while (filled < buffer.size()) {
    const ssize_t count = read(fd, buffer.data() + filled, size_t(buffer.size() - filled));
    if (count < 0 && errno == EINTR)
      continue;
    if (count <= 0)
      break;
    filled += count;
  }
  buffer.truncate(filled);
  const qsizetype nul = buffer.indexOf('\0');
  return nul < 0 ? buffer : buffer.left(nul);
}

constexpr std::chrono::minutes kPartSweepInterval{1};
constexpr time_t kQuietSeconds = 2;

} // namespace

void HandOffInbox::Collect(const QByteArray& directory,
                           const std::function<void(const QByteArray&)>& take) {
  const auto now = std::chrono::steady_clock::now();
  const auto [sweep, first] = lastPartSweep_.try_emplace(directory, now);
  if (first || now - sweep->second >= kPartSweepInterval) {
    sweep->second = now;
    RemoveStaleHandOffParts(directory);
  }
  // A directory that does not exist (yet) simply holds no files.
  struct stat directoryStatus {};
  if (stat(directory.constData(), &directoryStatus) != 0) {
    quietSince_.erase(directory);
    return;
  }
  const timespec modified = directoryStatus.st_mtim;
  if (const auto quiet = quietSince_.find(directory); quiet != quietSince_.end() &&
                                                      quiet->second.tv_sec == modified.tv_sec &&
                                                      quiet->second.tv_nsec == modified.tv_nsec)
    return;
  quietSince_.erase(directory);
  const std::unique_ptr<DIR, DirCloser> listing(opendir(directory.constData()));
  if (!listing)
    return;
  const int directoryFd = dirfd(listing.get());
  while (const dirent* entry = readdir(listing.get())) {
    if (!IsHandOffName(entry->d_name) || (entry->d_type != DT_REG && entry->d_type != DT_UNKNOWN))
      continue;
    // Non-blocking, so that a pipe given a hand-off name cannot hang the player.
    const FileDescriptor file(
        openat(directoryFd, entry->d_name, O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC));
    struct stat status {};
    if (file.Get() < 0 || fstat(file.Get(), &status) != 0 || !S_ISREG(status.st_mode))
      continue;
    const FileKey key{status.st_dev, status.st_ino, status.st_mtim.tv_sec, status.st_mtim.tv_nsec,
                      status.st_size};
    if (undeletable_.contains(key))
      continue;
    const QByteArray text = ReadText(file.Get());
    if (unlinkat(directoryFd, entry->d_name, 0) != 0)
      undeletable_.insert(key);
    take(text);
  }
  // Settled for a while before this listing began: any file made since
  // changes the directory's time, so until then nothing new can be there.
  // A directory changed just before may yet change within the same tick of
  // its clock, and is listed again.
  if (std::time(nullptr) - modified.tv_sec >= kQuietSeconds)
    quietSince_[directory] = modified;
}
