#pragma once

#include <cstdint>
#include <gst/gst.h>
#include <string>
#include <vector>

// Small media files of every format the player claims, made by code so that
// no sample file has to be shipped: once per build (mdk_fixtures), or
// in-process where the build's are missing.
enum class MediaFormat { Wav, Mp3, Midi, Wma, Avi, Wmv };

struct MediaFixture {
  std::string path;
  std::int64_t durationMs;
};

const std::vector<MediaFormat>& AllMediaFormats();
// The format's file suffix, also a readable test name.
std::string FormatName(MediaFormat format);

// Plays a pipeline until its end of stream, for at most bound; false on an
// error or when the bound runs out. The pipeline is left in NULL.
bool PlayToTheEnd(GstElement* pipeline, GstClockTime bound);

// Each writer makes its file in `dir` and throws std::runtime_error when it
// cannot.
MediaFixture WriteMediaFixture(MediaFormat format, const std::string& dir);
// A fixture that WriteMediaFixture made in `dir` before.
MediaFixture DescribeMediaFixture(MediaFormat format, const std::string& dir);
// An MP3 cut off inside its first frames.
std::string WriteTruncatedMp3(const std::string& dir);
// A text file named like an MP3.
std::string WriteTextAsMp3(const std::string& dir);
std::string WriteEmptyFile(const std::string& dir, const std::string& name);
