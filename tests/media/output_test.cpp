#include "fixture_files.h"
#include "platform/gst_media_player.h"
#include "platform/mdk_error.h"
#include "support/wait.h"

#include <QElapsedTimer>
#include <QScopeGuard>
#include <chrono>
#include <gst/gst.h>
#include <gtest/gtest.h>

namespace {

using std::chrono::milliseconds;

// A call may overrun its bound by a thread hand-over on a busy machine, never
// by the stall, which lasts far longer than bound and slack together.
constexpr milliseconds kBoundSlack{1000};

// Sets a sink description for the life of the scope.
class SinkOverride {
public:
  SinkOverride(const char* variable, const char* description)
      : variable_(variable), saved_(qgetenv(variable)) {
    qputenv(variable, description);
  }
  ~SinkOverride() { qputenv(variable_, saved_); }

private:
  const char* variable_;
  QByteArray saved_;
};

std::string Contains(const std::string& text, const std::string& part) {
  return text.find(part) == std::string::npos ? "\"" + text + "\" lacks \"" + part + "\"" : "";
}

// Runs call and returns how long it took and the message of the output
// error it threw ("" when it threw none).
template <typename Call> std::pair<milliseconds, std::string> TimeOutputError(Call call) {
  QElapsedTimer clock;
  clock.start();
  std::string message;
  try {
    call();
  } catch (const MdkOutputError& error) {
    message = error.what();
  }
  return {milliseconds(clock.elapsed()), message};
}

// A sink whose every buffer takes 20 s: the preroll never finishes in time,
// and the pipeline cannot even be taken down until the buffer has passed.
TEST(OutputBounds, AnOpenOnAStalledSinkReturnsInItsBoundAndSaysSo) {
  GstMediaPlayer player;
  {
    const SinkOverride stalled("MELLOWDECK_AUDIO_SINK",
                               "identity sleep-time=20000000 ! fakesink sync=true");
    player.SetFileName(FixtureFile(MediaFormat::Wav).path);
    const auto [took, message] = TimeOutputError([&] { player.Open(); });
    EXPECT_LT(took, GstMediaPlayer::kOpenTimeout + kBoundSlack);
    EXPECT_EQ(Contains(message, "sound output did not start within 4 seconds"), "");
    EXPECT_EQ(player.Mode(), mpNotReady);
  }
  // The stuck pipeline is left behind; the next file opens and plays at once.
  player.SetFileName(FixtureFile(MediaFormat::Wav).path);
  ASSERT_NO_THROW(player.Open());
  player.Play();
  EXPECT_TRUE(WaitFor([&] { return player.Position() > 100; }, 5000));
}

// Each buffer takes 2.5 s: the first one prerolls, then the streaming thread
// sleeps in the next one and a flushing Stop cannot get through.
TEST(OutputBounds, StopAndCloseOnAStuckPipelineReturnInTheirBound) {
  const SinkOverride slow("MELLOWDECK_AUDIO_SINK",
                          "identity sleep-time=2500000 ! fakesink sync=false");
  for (const char* call : {"Stop", "Close"}) {
    SCOPED_TRACE(call);
    // On a busy machine the streaming thread may not yet sit in its sleep when
    // the call comes; then the pipeline answers at once and the try does not
    // count. Every try must keep the bound.
    bool givenUp = false;
    for (int attempt = 0; attempt < 4 && !givenUp; ++attempt) {
      GstMediaPlayer player;
      player.SetFileName(FixtureFile(MediaFormat::Wav).path);
      ASSERT_NO_THROW(player.Open());
      player.Play();
      const auto [took, message] = TimeOutputError([&] {
        if (std::string(call) == "Stop")
          player.Stop();
        else
          player.Close();
      });
      EXPECT_LT(took, GstMediaPlayer::kCallTimeout + kBoundSlack);
      EXPECT_EQ(message, "") << "giving the media up stops it as surely";
      givenUp = player.Mode() == mpNotReady && took >= GstMediaPlayer::kCallTimeout;
    }
    EXPECT_TRUE(givenUp) << "the call never met a stuck pipeline to give up";
  }
}

// An output that refuses to start is not the file's fault: the error says
// which output failed, and tells it apart from a broken file.
TEST(OutputFailures, AnOutputThatCannotStartFailsAsTheOutputsFault) {
  struct Case {
    const char* variable;
    const char* description;
    MediaFormat format;
    const char* named;
  } const cases[] = {
      {"MELLOWDECK_AUDIO_SINK", "fakesink state-error=ready-to-paused", MediaFormat::Wav,
       "sound output"},
      {"MELLOWDECK_AUDIO_SINK", "nosuchsinkelement", MediaFormat::Mp3, "MELLOWDECK_AUDIO_SINK"},
      {"MELLOWDECK_VIDEO_SINK", "fakesink state-error=ready-to-paused", MediaFormat::Avi,
       "video output"},
  };
  for (const Case& failing : cases) {
    SCOPED_TRACE(failing.description);
    const SinkOverride sink(failing.variable, failing.description);
    GstMediaPlayer player;
    player.SetFileName(FixtureFile(failing.format).path);
    const auto [took, message] = TimeOutputError([&] { player.Open(); });
    EXPECT_EQ(Contains(message, failing.named), "");
    EXPECT_EQ(player.Mode(), mpNotReady);
  }
}

// With no device at all the media layer falls back to a sink that drops
// everything and plays in silence: the player says so once per run.
TEST(OutputFailures, SilencePlaysButIsToldOnce) {
  const SinkOverride automatic("MELLOWDECK_AUDIO_SINK", "");
  GstMediaPlayer player;
  // Every real audio sink out of the automatic choice, as on a machine
  // without sound server or card.
  std::vector<std::pair<GstPluginFeature*, guint>> demoted;
  GList* sinks = gst_element_factory_list_get_elements(
      GST_ELEMENT_FACTORY_TYPE_SINK | GST_ELEMENT_FACTORY_TYPE_MEDIA_AUDIO, GST_RANK_NONE);
  for (GList* item = sinks; item != nullptr; item = item->next) {
    auto* feature = GST_PLUGIN_FEATURE(item->data);
    demoted.emplace_back(GST_PLUGIN_FEATURE(gst_object_ref(feature)),
                         gst_plugin_feature_get_rank(feature));
    gst_plugin_feature_set_rank(feature, GST_RANK_NONE);
  }
  gst_plugin_feature_list_free(sinks);
  const auto restore = qScopeGuard([&] {
    for (auto [feature, rank] : demoted) {
      gst_plugin_feature_set_rank(feature, rank);
      gst_object_unref(feature);
    }
  });

  player.SetFileName(FixtureFile(MediaFormat::Wav).path);
  ASSERT_NO_THROW(player.Open());
  EXPECT_EQ(Contains(player.TakeOutputNotice(), "No sound output"), "");
  EXPECT_EQ(player.TakeOutputNotice(), "");
  player.Play();
  EXPECT_TRUE(WaitFor([&] { return player.Position() > 100; }, 5000)) << "plays in silence";
  ASSERT_NO_THROW(player.Open());
  EXPECT_EQ(player.TakeOutputNotice(), "") << "told again at the next file";
}

} // namespace
