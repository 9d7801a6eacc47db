#include "rules/handoff_writer.h"

#include "platform/random_source.h"
#include "rules/handoff_files.h"
#include "rules/handoff_parts.h"
#include "rules/runtime_paths.h"

#include <cerrno>
#include <cstdlib>
#include <ctime>
#include <fcntl.h>
#include <unistd.h>

namespace {

constexpr int kNameTries = 100;

bool WriteAll(int fd, std::string_view text) {
  while (!text.empty()) {
    const ssize_t written = write(fd, text.data(), text.size());
    if (written < 0 && errno == EINTR)
      continue;
    if (written <= 0)
      return false;
    text.remove_prefix(size_t(written));
  }
  return true;
}

// The hidden part file: readers pass over names that begin with a dot.
std::string WritePartFile(const std::string& directory, std::string_view text) {
  std::string path = directory + '/' + std::string(kHandOffPartPrefix) + "XXXXXX";
  const int fd = mkostemp(path.data(), O_CLOEXEC);
  if (fd < 0)
    return {};
  const bool written = WriteAll(fd, text);
  if (close(fd) != 0 || !written) {
    unlink(path.c_str());
    return {};
  }
  return path;
}

} // namespace

bool WriteHandOffFileIn(const std::string& directory, std::string_view text, RandomSource& random) {
  if (directory.empty())
    return false;
  const std::string partPath = WritePartFile(directory, text);
  if (partPath.empty())
    return false;
  // Launches within one second draw the same names; a name that is taken
  // makes link fail, and the next one is tried.
  random.Seed(random.ClockSeed());
  bool linked = false;
  for (int attempt = 0; attempt < kNameTries && !linked; ++attempt) {
    const std::string finalPath = directory + '/' + HandOffName(random.Draw());
    if (link(partPath.c_str(), finalPath.c_str()) == 0)
      linked = true;
    else if (errno != EEXIST)
      break;
  }
  // Whether the hand-off happened was settled by link; a part file that
  // stays behind is hidden from every reader.
  unlink(partPath.c_str());
  return linked;
}

bool WriteHandOffFile(std::string_view text, const HandOffPlaces& places, RandomSource& random) {
  if (WriteHandOffFileIn(places.programDirectory, text, random))
    return true;
  return EnsurePrivateDirectory(places.fallbackDirectory) &&
         WriteHandOffFileIn(places.fallbackDirectory, text, random);
}

std::string AbsoluteArgument(std::string_view argument, std::string_view currentDirectory) {
  // "*name" and "<name>" are entry forms that the list keeps as they are.
  if (argument.empty() || argument.starts_with('/') || argument.starts_with('*') ||
      argument.starts_with('<') || currentDirectory.empty())
    return std::string(argument);
  std::string absolute(currentDirectory);
  if (!absolute.ends_with('/'))
    absolute += '/';
  return absolute.append(argument);
}
