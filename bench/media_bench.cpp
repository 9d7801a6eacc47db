#include "platform/gst_media_player.h"
#include "support/media_fixtures.h"

#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <chrono>
#include <map>
#include <thread>

namespace {

const std::string& FixturePath(MediaFormat format) {
  static QTemporaryDir dir;
  static std::map<MediaFormat, std::string> made;
  auto found = made.find(format);
  if (found == made.end())
    found = made.emplace(format, WriteMediaFixture(format, dir.path().toStdString()).path).first;
  return found->second;
}

// Open of a file, as the program does it: closing the same file first.
void OpenMedia(benchmark::State& state, MediaFormat format) {
  GstMediaPlayer player;
  player.SetFileName(FixturePath(format));
  for (auto _ : state)
    player.Open();
}

// From Open until the position first moves: what the user waits for.
void OpenAndPlay(benchmark::State& state, MediaFormat format) {
  constexpr auto kBound = std::chrono::seconds(5);
  GstMediaPlayer player;
  player.SetFileName(FixturePath(format));
  for (auto _ : state) {
    player.Open();
    player.Play();
    const auto deadline = std::chrono::steady_clock::now() + kBound;
    while (player.Position() <= 0) {
      if (std::chrono::steady_clock::now() > deadline) {
        state.SkipWithError("the position never moved");
        return;
      }
      std::this_thread::sleep_for(std::chrono::microseconds(100));
    }
  }
}

const bool registered = [] {
  for (MediaFormat format : AllMediaFormats()) {
    benchmark::RegisterBenchmark(("Open/" + FormatName(format)).c_str(), OpenMedia, format)
        ->Unit(benchmark::kMillisecond)
        ->UseRealTime();
    benchmark::RegisterBenchmark(("OpenAndPlay/" + FormatName(format)).c_str(), OpenAndPlay, format)
        ->Unit(benchmark::kMillisecond)
        ->UseRealTime();
  }
  return true;
}();

} // namespace
