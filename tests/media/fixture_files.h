#pragma once

#include "support/media_fixtures.h"

#include <QTemporaryDir>
#include <map>
#include <ostream>

// The format fixtures, made once per test run into a directory that lives as
// long as the process.
inline const MediaFixture& FixtureFile(MediaFormat format) {
  static QTemporaryDir dir;
  static std::map<MediaFormat, MediaFixture> made;
  auto found = made.find(format);
  if (found == made.end())
    found = made.emplace(format, WriteMediaFixture(format, dir.path().toStdString())).first;
  return found->second;
}

// Within a few percent of the real duration.
inline std::int64_t LengthTolerance(const MediaFixture& fixture) {
  return fixture.durationMs * 3 / 100;
}

// Names the format in test output.
inline void PrintTo(MediaFormat format, std::ostream* out) {
  *out << FormatName(format);
}
