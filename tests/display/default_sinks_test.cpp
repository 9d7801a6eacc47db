#include "../media/fixture_files.h"
#include "display_server.h"
#include "platform/gst_media_player.h"

#include <QElapsedTimer>
#include <gtest/gtest.h>
#include <thread>

namespace {

// Every format plays on the outputs the player picks by itself on a real
// display, in a process whose Qt runs on it as the program's does.
class DefaultSinks : public ::testing::TestWithParam<DisplayServer::Kind> {};

TEST_P(DefaultSinks, PlayToTheEndWithoutAnEventLoop) {
  const DisplayServer server(GetParam());
  if (!server.Problem().isEmpty())
    GTEST_SKIP() << server.Problem().toStdString();
  const DisplayTestRun run = RunTestsOnDisplay(server, QStringLiteral("DefaultSinksOnDisplay.*"));
  if (!run.problem.isEmpty())
    GTEST_SKIP() << run.problem.toStdString();
  EXPECT_TRUE(run.passed) << run.output.toStdString();
}

INSTANTIATE_TEST_SUITE_P(, DefaultSinks,
                         ::testing::Values(DisplayServer::Kind::X11, DisplayServer::Kind::Wayland));

// Run by DefaultSinks. Nothing runs the event loop from Open to the end: a
// video output that needs the window's loop (a toolkit sink, or a window
// that the streaming thread waits for) would stall the media here. The
// video shows in the program's window, with no fallback to a sink without
// picture; sound plays beside it, on a device or, where there is none,
// silently after a notice.
class DefaultSinksOnDisplay : public ::testing::TestWithParam<MediaFormat> {};

TEST_P(DefaultSinksOnDisplay, PlayToTheEnd) {
  if (!OnRealDisplay())
    GTEST_SKIP() << "runs on a display server of its own, started by DefaultSinks";
  // The test program's own fake sinks out of the way.
  qunsetenv("MELLOWDECK_AUDIO_SINK");
  qunsetenv("MELLOWDECK_VIDEO_SINK");
  const MediaFixture& fixture = FixtureFile(GetParam());

  GstMediaPlayer player;
  player.SetFileName(fixture.path);
  ASSERT_NO_THROW(player.Open());
  const std::string notice = player.TakeOutputNotice();
  EXPECT_EQ(notice.find("video output"), std::string::npos) << notice;
  player.Play();
  EXPECT_EQ(player.Mode(), mpPlaying);
  QElapsedTimer clock;
  clock.start();
  while (player.Mode() != mpStopped && clock.elapsed() < fixture.durationMs + 10000)
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  EXPECT_EQ(player.Mode(), mpStopped) << "still not at the end after " << clock.elapsed() << " ms";
  EXPECT_NO_THROW(player.Close());
}

INSTANTIATE_TEST_SUITE_P(, DefaultSinksOnDisplay,
                         ::testing::Values(MediaFormat::Avi, MediaFormat::Wmv, MediaFormat::Wav,
                                           MediaFormat::Mp3));

} // namespace
