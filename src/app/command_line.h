#pragma once

#include <string>
#include <vector>

// The command line is the user's: every argument is a media path, used as it
// stands, even one that begins with "-". Only "--help", "-h" and "--version"
// are options, and a first "--" ends them, so "-- --help" is a file.
struct CommandLine {
  enum class Action { Play, Help, Version };
  // The first option wins when there are several; paths are then empty.
  Action action = Action::Play;
  std::vector<std::string> paths;
};

CommandLine ParseCommandLine(const std::vector<std::string>& arguments);

// What --help and --version print, each ending in a line end.
std::string UsageText();
std::string VersionText();
