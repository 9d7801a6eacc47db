#include "rules/runtime_paths.h"

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

namespace {

std::string UserRuntimePath(const std::string& stem, const std::string& extension) {
  const char* runtimeDirectory = std::getenv("XDG_RUNTIME_DIR");
  if (runtimeDirectory != nullptr && *runtimeDirectory != '\0')
    return std::string(runtimeDirectory) + '/' + stem + extension;
  std::error_code ignored;
  std::string temporary = std::filesystem::temp_directory_path(ignored).native();
  if (temporary.empty())
    temporary = "/tmp";
  return temporary + '/' + stem + '-' + std::to_string(getuid()) + extension;
}

} // namespace

std::string InstanceLockPath() {
  return UserRuntimePath("_mellowdeck_", ".lock");
}

std::string FallbackHandOffDirectory() {
  return UserRuntimePath("mellowdeck", "");
}

bool EnsurePrivateDirectory(const std::string& directory) {
  if (mkdir(directory.c_str(), 0700) != 0 && errno != EEXIST)
    return false;
  // In a shared temporary directory the name may have been taken first by
  // someone else, or be a link pointing elsewhere.
  struct stat status {};
  return lstat(directory.c_str(), &status) == 0 && S_ISDIR(status.st_mode) &&
         status.st_uid == geteuid() && (status.st_mode & (S_IWGRP | S_IWOTH)) == 0;
}
