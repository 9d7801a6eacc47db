#include "app/command_line.h"

CommandLine ParseCommandLine(const std::vector<std::string>& arguments) {
  CommandLine line;
  bool optionsEnded = false;
  for (const std::string& argument : arguments) {
    if (optionsEnded)
      line.paths.push_back(argument);
    else if (argument == "--")
      optionsEnded = true;
    else if (argument == "--help" || argument == "-h")
      return {CommandLine::Action::Help, {}};
    else if (argument == "--version")
      return {CommandLine::Action::Version, {}};
    else
      line.paths.push_back(argument);
  }
  return line;
}

std::string UsageText() {
  return "Usage: mellowdeck [--] [FILE]...\n"
         "Plays the media files and keeps them in its list; while a player runs,\n"
         "hands them to it instead.\n"
         "\n"
         "  -h, --help     show this help and exit\n"
         "      --version  show the version and exit\n"
         "  --             end the options: every later argument is a file\n";
}

std::string VersionText() {
  return "mellowdeck " MDK_VERSION "\n";
}
