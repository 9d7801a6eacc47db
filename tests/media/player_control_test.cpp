#include "fixture_files.h"
#include "platform/gst_media_player.h"
#include "platform/mdk_error.h"
#include "support/wait.h"

#include <QDir>
#include <QElapsedTimer>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <chrono>
#include <cstdlib>
#include <functional>
#include <gtest/gtest.h>

namespace {

constexpr int kPlayBoundMs = 5000;
constexpr std::int64_t kSlackMs = 40;

void OpenFile(GstMediaPlayer& player, MediaFormat format) {
  player.SetFileName(FixtureFile(format).path);
  player.Open();
}

void ExpectNothingOpen(GstMediaPlayer& player) {
  EXPECT_EQ(player.Mode(), mpNotReady);
  EXPECT_EQ(player.Position(), 0);
  EXPECT_THROW(player.Length(), MdkError);
  EXPECT_THROW(player.Play(), MdkError);
  EXPECT_THROW(player.Pause(), MdkError);
  EXPECT_THROW(player.Stop(), MdkError);
  EXPECT_NO_THROW(player.Close());
}

TEST(PlayerControl, WithNothingOpenOnlyCloseAndTheQueriesAnswer) {
  GstMediaPlayer player;
  {
    SCOPED_TRACE("never opened");
    ExpectNothingOpen(player);
  }
  OpenFile(player, MediaFormat::Wav);
  player.Close();
  {
    SCOPED_TRACE("closed");
    ExpectNothingOpen(player);
  }
}

TEST(PlayerControl, PauseKeepsThePositionAndPlayResumesThere) {
  GstMediaPlayer player;
  OpenFile(player, MediaFormat::Wav);
  player.Play();
  ASSERT_TRUE(WaitFor([&] { return player.Position() >= 300; }, kPlayBoundMs));

  player.Pause();
  EXPECT_EQ(player.Error(), 0);
  EXPECT_EQ(player.Mode(), mpPaused);
  const std::int64_t held = player.Position();
  EXPECT_FALSE(WaitFor([&] { return player.Position() > held + kSlackMs; }, 300))
      << "position ran on to " << player.Position() << " ms while paused at " << held;

  player.Play();
  EXPECT_EQ(player.Mode(), mpPlaying);
  const std::int64_t resumed = player.Position();
  EXPECT_GE(resumed, held - kSlackMs);
  EXPECT_LT(resumed, held + 300);
  EXPECT_TRUE(WaitFor([&] { return player.Mode() == mpStopped; }, kPlayBoundMs));
}

TEST(PlayerControl, StopGoesBackToTheStartAndRefusalsGoIntoError) {
  GstMediaPlayer player;
  OpenFile(player, MediaFormat::Wav);
  player.Pause();
  EXPECT_NE(player.Error(), 0) << "pausing a stopped player";
  EXPECT_EQ(player.Mode(), mpStopped);

  player.Play();
  ASSERT_TRUE(WaitFor([&] { return player.Position() >= 300; }, kPlayBoundMs));
  player.Stop();
  EXPECT_EQ(player.Error(), 0);
  EXPECT_EQ(player.Mode(), mpStopped);

  player.Play();
  EXPECT_EQ(player.Error(), 0);
  EXPECT_EQ(player.Mode(), mpPlaying);
  ASSERT_TRUE(WaitFor([&] { return player.Position() > 0; }, kPlayBoundMs));
  EXPECT_LT(player.Position(), 300);
}

// A's end of stream must never be read as B's: A plays to its end without
// anyone reading its state, then B opens and plays.
TEST(PlayerControl, OpeningAnotherMediaLeavesTheFirstBehind) {
  GstMediaPlayer player;
  const MediaFixture& second = FixtureFile(MediaFormat::Wma);
  OpenFile(player, MediaFormat::Wav);
  player.Play();
  ASSERT_TRUE(WaitFor(
      [&] { return player.Position() >= FixtureFile(MediaFormat::Wav).durationMs - kSlackMs; },
      kPlayBoundMs));

  OpenFile(player, MediaFormat::Wma);
  EXPECT_EQ(player.Mode(), mpStopped);
  EXPECT_EQ(player.Position(), 0);
  EXPECT_NEAR(player.Length(), second.durationMs, LengthTolerance(second));
  player.Play();
  ASSERT_TRUE(WaitFor([&] { return player.Position() >= 100; }, kPlayBoundMs));
  EXPECT_EQ(player.Mode(), mpPlaying);

  OpenFile(player, MediaFormat::Wav);
  EXPECT_EQ(player.Mode(), mpStopped);
  EXPECT_EQ(player.Position(), 0);
}

TEST(PlayerControl, ARelativeNameIsTakenAgainstTheDirectoryCurrentAtOpen) {
  const QString home = QDir::currentPath();
  const QTemporaryDir elsewhere;
  const QFileInfo fixture(QString::fromStdString(FixtureFile(MediaFormat::Wav).path));
  const std::string name = fixture.fileName().toStdString();
  const auto restore = qScopeGuard([&] { QDir::setCurrent(home); });
  GstMediaPlayer player;
  ASSERT_TRUE(QDir::setCurrent(elsewhere.path()));
  player.SetFileName(name);
  ASSERT_TRUE(QDir::setCurrent(fixture.path()));
  EXPECT_NO_THROW(player.Open());
  EXPECT_EQ(player.FileName(), name);
  EXPECT_EQ(player.Mode(), mpStopped);

  ASSERT_TRUE(QDir::setCurrent(elsewhere.path()));
  try {
    player.Open();
    ADD_FAILURE() << "opened " << name << " in a directory without it";
  } catch (const MdkError& error) {
    EXPECT_NE(std::string(error.what()).find(elsewhere.path().toStdString()), std::string::npos)
        << error.what();
  }
}

struct BadFile {
  const char* what;
  std::function<std::string(const std::string& dir)> make;
};

// Every failed open throws a readable message, leaves nothing open (also not
// the media that played before) and returns within the open bound.
TEST(PlayerControl, OpenFailuresLeaveNothingOpen) {
  const QTemporaryDir temp;
  const std::string dir = temp.path().toStdString();
  const BadFile cases[] = {
      {"a missing file", [](const std::string& d) { return d + "/missing.mp3"; }},
      {"a text file named .mp3", WriteTextAsMp3},
      {"a truncated MP3", WriteTruncatedMp3},
      {"a directory", [](const std::string& d) { return d; }},
      {"an empty file", [](const std::string& d) { return WriteEmptyFile(d, "empty.wav"); }},
      {"an empty name", [](const std::string&) { return std::string(); }},
  };
  GstMediaPlayer player;
  for (const BadFile& bad : cases) {
    SCOPED_TRACE(bad.what);
    OpenFile(player, MediaFormat::Wav);
    player.Play();
    const std::string name = bad.make(dir);
    player.SetFileName(name);
    QElapsedTimer clock;
    clock.start();
    try {
      player.Open();
      ADD_FAILURE() << "opened";
    } catch (const MdkError& error) {
      const std::string message = error.what();
      EXPECT_FALSE(message.empty());
      EXPECT_NE(message.find(name), std::string::npos) << message;
    }
    EXPECT_LT(std::chrono::milliseconds(clock.elapsed()), GstMediaPlayer::kOpenTimeout);
    ExpectNothingOpen(player);
  }
}

} // namespace
