#include "platform/current_directory_scope.h"

#include <fcntl.h>
#include <unistd.h>

CurrentDirectoryScope::CurrentDirectoryScope(const std::string& directory) {
  // Held open, the previous directory is found again even if it was renamed.
  previous_ = open(".", O_PATH | O_DIRECTORY | O_CLOEXEC);
  entered_ = previous_ >= 0 && chdir(directory.c_str()) == 0;
}

CurrentDirectoryScope::~CurrentDirectoryScope() {
  if (previous_ < 0)
    return;
  // Going back to a directory we hold open cannot fail.
  [[maybe_unused]] const int restored = entered_ ? fchdir(previous_) : 0;
  close(previous_);
}
