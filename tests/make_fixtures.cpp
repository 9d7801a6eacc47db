#include "support/media_fixtures.h"

#include <fstream>
#include <iostream>

// Makes the media fixtures of every format once per build, into the directory
// given, and marks the set complete last, so that a test never reads half a set.
int main(int argc, char** argv) {
  if (argc != 2) {
    std::cerr << "usage: mdk_fixtures DIRECTORY\n";
    return 2;
  }
  try {
    for (const MediaFormat format : AllMediaFormats())
      WriteMediaFixture(format, argv[1]);
  } catch (const std::exception& error) {
    std::cerr << "mdk_fixtures: " << error.what() << '\n';
    return 1;
  }
  std::ofstream(std::string(argv[1]) + "/made") << "complete\n";
  return 0;
}
