#include "rules/handoff_parts.h"

#include <ctime>
#include <dirent.h>
#include <fcntl.h>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>

namespace {

struct DirCloser {
  void operator()(DIR* dir) const { closedir(dir); }
};

} // namespace

void RemoveStaleHandOffParts(const QByteArray& directory) {
  const std::unique_ptr<DIR, DirCloser> listing(opendir(directory.constData()));
  if (!listing)
    return;
  const int directoryFd = dirfd(listing.get());
  const std::time_t now = std::time(nullptr);
  while (const dirent* entry = readdir(listing.get())) {
    if (!std::string_view(entry->d_name).starts_with(kHandOffPartPrefix))
      continue;
    struct stat status {};
    if (fstatat(directoryFd, entry->d_name, &status, AT_SYMLINK_NOFOLLOW) != 0 ||
        !S_ISREG(status.st_mode) || now - status.st_mtim.tv_sec <= kStalePartAge.count())
      continue;
    // A directory that refuses the removal (an installed program's) keeps the
    // file; it is hidden from every reader, so nothing else goes wrong.
    unlinkat(directoryFd, entry->d_name, 0);
  }
}
