#include "fixture_files.h"
#include "platform/gst_media_player.h"
#include "support/wait.h"

#include <cstdlib>
#include <gtest/gtest.h>

namespace {

constexpr int kPlayBoundMs = 5000;

class FormatPlayback : public ::testing::TestWithParam<MediaFormat> {};

TEST_P(FormatPlayback, OpensPlaysToTheEndAndPlaysAgainFromTheStart) {
  const MediaFixture& fixture = FixtureFile(GetParam());
  const std::int64_t tolerance = LengthTolerance(fixture);
  GstMediaPlayer player;
  player.SetFileName(fixture.path);
  player.Open();
  EXPECT_EQ(player.Mode(), mpStopped);
  EXPECT_EQ(player.Error(), 0);
  EXPECT_EQ(player.Position(), 0);

  player.Play();
  EXPECT_EQ(player.Error(), 0);
  EXPECT_EQ(player.Mode(), mpPlaying);
  // Some formats learn their length only once they play.
  EXPECT_TRUE(WaitFor([&] { return std::llabs(player.Length() - fixture.durationMs) <= tolerance; },
                      kPlayBoundMs))
      << "length " << player.Length() << " ms, expected " << fixture.durationMs;
  ASSERT_TRUE(WaitFor([&] { return player.Mode() == mpStopped; }, kPlayBoundMs));
  // A failure while streaming also reads as stopped, but not at the end.
  EXPECT_GE(player.Position(), fixture.durationMs - tolerance);

  player.Play();
  EXPECT_EQ(player.Error(), 0);
  EXPECT_EQ(player.Mode(), mpPlaying);
  EXPECT_TRUE(
      WaitFor([&] { return player.Position() > 0 && player.Position() < fixture.durationMs / 2; },
              kPlayBoundMs))
      << "position " << player.Position() << " ms";
  EXPECT_EQ(player.Mode(), mpPlaying);
}

INSTANTIATE_TEST_SUITE_P(EveryFormat, FormatPlayback, ::testing::ValuesIn(AllMediaFormats()),
                         [](const auto& info) { return FormatName(info.param); });

} // namespace
