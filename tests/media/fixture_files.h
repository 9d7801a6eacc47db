#pragma once

#include "support/media_fixtures.h"

#include <QFileInfo>
#include <QTemporaryDir>
#include <map>
#include <ostream>

// The format fixtures that the build made; where they are missing, made once
// per process into a directory that lives as long as the process.
inline const MediaFixture& FixtureFile(MediaFormat format) {
  static std::map<MediaFormat, MediaFixture> made;
  auto found = made.find(format);
  if (found != made.end())
    return found->second;
  if (QFileInfo::exists(QStringLiteral(MDK_FIXTURE_DIR "/made")))
    return made.emplace(format, DescribeMediaFixture(format, MDK_FIXTURE_DIR)).first->second;
  static QTemporaryDir dir;
  return made.emplace(format, WriteMediaFixture(format, dir.path().toStdString())).first->second;
}

// Within a few percent of the real duration.
inline std::int64_t LengthTolerance(const MediaFixture& fixture) {
  return fixture.durationMs * 3 / 100;
}

// Names the format in test output.
inline void PrintTo(MediaFormat format, std::ostream* out) {
  *out << FormatName(format);
}
