#include "../media/fixture_files.h"
#include "display_server.h"
#include "platform/gst_media_player.h"
#include "support/wait.h"

#include <gtest/gtest.h>

namespace {

struct Playing {
  DisplayServer::Kind display;
  MediaFormat format;
};

void PrintTo(const Playing& playing, std::ostream* out) {
  *out << (playing.display == DisplayServer::Kind::X11 ? "X11 " : "Wayland ")
       << FormatName(playing.format);
}

class DefaultSinks : public ::testing::TestWithParam<Playing> {};

// With the sinks the media layer picks on a real display, and nothing
// running an event loop, a video opens, shows in a window of its own (no
// fallback to a sink without picture) and plays to its end; sound plays
// beside it, on a device or, where there is none, silently after a notice.
TEST_P(DefaultSinks, PlayToTheEndWithoutAnEventLoop) {
  const DisplayServer server(GetParam().display);
  if (!server.Problem().isEmpty())
    GTEST_SKIP() << server.Problem().toStdString();
  const UseDisplay display(GetParam().display, server.Address());
  const MediaFixture& fixture = FixtureFile(GetParam().format);

  GstMediaPlayer player;
  player.SetFileName(fixture.path);
  ASSERT_NO_THROW(player.Open());
  const std::string notice = player.TakeOutputNotice();
  EXPECT_EQ(notice.find("video output"), std::string::npos) << notice;
  player.Play();
  EXPECT_EQ(player.Mode(), mpPlaying);
  EXPECT_TRUE(WaitFor([&] { return player.Mode() == mpStopped; }, int(fixture.durationMs) + 5000));
  EXPECT_NO_THROW(player.Close());
}

INSTANTIATE_TEST_SUITE_P(, DefaultSinks,
                         ::testing::Values(Playing{DisplayServer::Kind::X11, MediaFormat::Avi},
                                           Playing{DisplayServer::Kind::X11, MediaFormat::Wmv},
                                           Playing{DisplayServer::Kind::X11, MediaFormat::Wav},
                                           Playing{DisplayServer::Kind::Wayland, MediaFormat::Avi},
                                           Playing{DisplayServer::Kind::Wayland, MediaFormat::Wmv},
                                           Playing{DisplayServer::Kind::Wayland,
                                                   MediaFormat::Mp3}));

} // namespace
