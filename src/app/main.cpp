#include "app/command_line.h"
#include "app/file_size_signal.h"
#include "app/first_copy.h"
#include "app/instance_lock.h"
#include "app/second_launch.h"
#include "rules/runtime_paths.h"

#include <algorithm>
#include <dlfcn.h>
#include <filesystem>
#include <iostream>

// The launcher: it links neither the toolkit nor the media layer, so that a
// second launch costs little more than the files it leaves.

namespace {

std::filesystem::path ProgramDirectory() {
  std::error_code ignored;
  return std::filesystem::read_symlink("/proc/self/exe", ignored).parent_path();
}

int SecondLaunch(const std::vector<std::string>& paths) {
  std::error_code ignored;
  const std::string currentDirectory = std::filesystem::current_path(ignored).native();
  return RunSecondLaunch(paths, {ProgramDirectory().native(), FallbackHandOffDirectory()},
                         currentDirectory, std::cerr);
}

// Beside the launcher in the build tree (and in copies of the two), else
// where it is installed relative to the launcher.
std::filesystem::path FirstCopyModulePath() {
  const std::filesystem::path directory = ProgramDirectory();
  std::error_code ignored;
  if (std::filesystem::exists(directory / MDK_FIRST_COPY_MODULE, ignored))
    return directory / MDK_FIRST_COPY_MODULE;
  return (directory / MDK_INSTALLED_FIRST_COPY_MODULE).lexically_normal();
}

// The lock stays held in this process while the player loads and runs: no
// moment exists in which a second first copy could start.
int FirstCopy(char* programName, const std::vector<std::string>& paths, InstanceLock& lock) {
  const std::filesystem::path modulePath = FirstCopyModulePath();
  void* module = dlopen(modulePath.c_str(), RTLD_LAZY | RTLD_LOCAL);
  const auto entry = module != nullptr
                         ? reinterpret_cast<FirstCopyEntry>(dlsym(module, kFirstCopyEntry))
                         : nullptr;
  if (entry == nullptr) {
    const char* reason = dlerror();
    std::cerr << "mellowdeck: the player cannot start: " << modulePath.native()
              << " did not load: " << (reason != nullptr ? reason : "no reason given") << '\n';
    return 1;
  }
  return entry(programName, paths, lock);
}

} // namespace

int main(int argc, char** argv) {
  IgnoreFileSizeSignal();
  // A program started with no argv at all still runs, under its own name.
  static char ownName[] = "mellowdeck";
  char* programName = argc > 0 ? argv[0] : ownName;
  const CommandLine line = ParseCommandLine({argv + std::min(argc, 1), argv + argc});
  if (line.action != CommandLine::Action::Play) {
    std::cout << (line.action == CommandLine::Action::Help ? UsageText() : VersionText());
    std::cout.flush();
    return std::cout ? 0 : 1;
  }
  InstanceLock lock(InstanceLockPath());
  if (lock.GetState() == InstanceLock::State::HeldElsewhere)
    return SecondLaunch(line.paths);
  return FirstCopy(programName, line.paths, lock);
}
