#pragma once

#include <string>
#include <string_view>

class RandomSource;

// Where a second launch leaves its files: the program's directory, or, when
// no file can be made there, the per-user fallback the running copy also reads.
struct HandOffPlaces {
  std::string programDirectory;
  std::string fallbackDirectory;
};

// Writes text as one new hand-off file in directory; false when none could be
// made there. The file appears under its final name complete, and never in
// place of an existing file. Its name is drawn from the sequence seeded with
// the clock's second.
bool WriteHandOffFileIn(const std::string& directory, std::string_view text, RandomSource& random);

// The program's directory first, then the fallback; false when neither took it.
bool WriteHandOffFile(std::string_view text, const HandOffPlaces& places, RandomSource& random);

// A relative argument means a file in the launching process's directory, which
// the running copy does not share. One that begins with "*" or "<" is an
// entry form, not a relative path, and stays as it is.
std::string AbsoluteArgument(std::string_view argument, std::string_view currentDirectory);
