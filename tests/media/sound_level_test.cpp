#include "fixture_files.h"
#include "platform/gst_midi_limiter.h"
#include "platform/gst_midi_synth.h"
#include "platform/gst_runtime.h"
#include "support/midi_fixtures.h"

#include <QTemporaryDir>
#include <algorithm>
#include <cmath>
#include <gst/gst.h>
#include <gtest/gtest.h>
#include <memory>
#include <span>
#include <stdexcept>
#include <vector>

namespace {

// Level differences that a listener barely notices when one file follows another.
constexpr double kLevelBoundDb = 6;
// The fixtures' tone leaves its source at 0.8 of full scale; lossy codecs and
// 8-bit samples move its peak by a fraction of a dB.
const double kSourcePeakDb = 20 * std::log10(0.8);
constexpr double kSourceToleranceDb = 1;
constexpr GstClockTime kCaptureBound = 60 * GST_SECOND;

struct Level {
  double peak = 0;
  double sumOfSquares = 0;
  std::size_t samples = 0;
  std::size_t atFullScale = 0;

  double PeakDb() const { return 20 * std::log10(peak); }
  double RmsDb() const { return 10 * std::log10(sumOfSquares / static_cast<double>(samples)); }
};

void Measure(GstElement*, GstBuffer* buffer, GstPad*, gpointer data) {
  Level& level = *static_cast<Level*>(data);
  GstMapInfo map;
  if (!gst_buffer_map(buffer, &map, GST_MAP_READ))
    return;
  const auto* samples = reinterpret_cast<const float*>(map.data);
  for (std::size_t i = 0; i < map.size / sizeof(float); ++i) {
    const double sample = std::abs(samples[i]);
    level.peak = std::max(level.peak, sample);
    level.sumOfSquares += sample * sample;
    level.atFullScale += sample >= 1.0 ? 1 : 0;
  }
  level.samples += map.size / sizeof(float);
  gst_buffer_unmap(buffer, &map);
}

void SetUpElement(GstElement*, GstElement* element, gpointer) {
  SetUpMidiSynth(element);
}

// The sound of a file as the player's pipeline makes it, with the player's
// synthesiser set-up, caught in float before any output could clip it, and
// taken as fast as it decodes.
Level Capture(const std::string& path) {
  EnsureGstReady();
  std::unique_ptr<GstElement, decltype(&gst_object_unref)> playbin(
      gst_element_factory_make("playbin", nullptr), gst_object_unref);
  if (!playbin)
    throw std::runtime_error("the media layer has no playbin element");
  GError* error = nullptr;
  GstElement* sound =
      gst_parse_bin_from_description("audioconvert ! audio/x-raw,format=F32LE ! "
                                     "fakesink name=capture sync=false signal-handoffs=true",
                                     TRUE, &error);
  if (error != nullptr) {
    const std::string message = error->message;
    g_error_free(error);
    throw std::runtime_error("cannot build the capture: " + message);
  }
  Level level;
  GstElement* capture = gst_bin_get_by_name(GST_BIN(sound), "capture");
  g_signal_connect(capture, "handoff", G_CALLBACK(Measure), &level);
  gst_object_unref(capture);
  gchar* uri = gst_filename_to_uri(path.c_str(), nullptr);
  g_object_set(playbin.get(), "uri", uri, "audio-sink", sound, "video-sink",
               gst_element_factory_make("fakesink", nullptr), nullptr);
  g_free(uri);
  g_signal_connect(playbin.get(), "element-setup", G_CALLBACK(SetUpElement), nullptr);

  if (!PlayToTheEnd(playbin.get(), kCaptureBound))
    throw std::runtime_error("no sound came out of " + path);
  if (level.samples == 0 || level.peak == 0)
    throw std::runtime_error(path + " played silence");
  return level;
}

std::ostream& operator<<(std::ostream& out, const Level& level) {
  return out << "peak " << level.PeakDb() << " dBFS, RMS " << level.RmsDb() << " dBFS, "
             << level.atFullScale << " samples at full scale";
}

// Peaks are compared, not RMS: the other media's fixture is a steady tone,
// whose RMS lies 3 dB below its peak where music's lies 12 to 20 dB below, so
// RMS would weigh the kind of sound rather than the playback level; a whole
// file's RMS also says more about its pauses than about its loudness.
TEST(SoundLevel, MidiStaysBelowFullScaleAndNearOtherMedia) {
  QTemporaryDir dir;
  ASSERT_TRUE(dir.isValid());
  const Level sparse = Capture(WriteSparseMidi(dir.path().toStdString()));
  const Level busy = Capture(WriteBusyMidi(dir.path().toStdString()));
  const Level wav = Capture(FixtureFile(MediaFormat::Wav).path);
  SCOPED_TRACE(::testing::Message()
               << "sparse: " << sparse << "\nbusy: " << busy << "\nwav: " << wav);

  EXPECT_EQ(sparse.atFullScale, 0u);
  EXPECT_EQ(busy.atFullScale, 0u);
  EXPECT_LE(std::abs(sparse.PeakDb() - busy.PeakDb()), kLevelBoundDb);
  EXPECT_LE(std::abs(sparse.PeakDb() - wav.PeakDb()), kLevelBoundDb);
  EXPECT_LE(std::abs(busy.PeakDb() - wav.PeakDb()), kLevelBoundDb);
}

// A quiet tone, a burst far past full scale, and the quiet tone again: the
// burst is held to the ceiling from its first sample, and the tone around it
// comes through untouched once the gain has recovered.
TEST(SoundLevel, LimiterHoldsPeaksAtTheCeilingAndLeavesQuietSoundAlone) {
  constexpr int kRate = 1000;
  constexpr float kCeiling = 0.5f;
  const MidiLimiter::Settings settings{
      .ceiling = kCeiling, .lookaheadMs = 10, .holdMs = 50, .releaseDbPerSecond = 100};
  constexpr std::size_t kLookahead = 10;
  const auto tone = [](std::size_t frame, float amplitude) {
    return amplitude * static_cast<float>(std::sin(0.3 * static_cast<double>(frame)));
  };
  // Stereo frames: 200 quiet, 100 loud, 700 quiet again.
  std::vector<float> input;
  for (std::size_t frame = 0; frame < 1000; ++frame) {
    const float amplitude = frame >= 200 && frame < 300 ? 8.0f : 0.25f;
    input.insert(input.end(), {tone(frame, amplitude), -tone(frame, amplitude)});
  }
  std::vector<float> output = input;
  MidiLimiter limiter(settings, kRate, 2);
  // In uneven pieces, as buffers come.
  for (std::size_t first = 0; first < output.size(); first += 2 * 37)
    limiter.Process(
        std::span(output).subspan(first, std::min<std::size_t>(2 * 37, output.size() - first)));

  float loudest = 0;
  for (std::size_t i = 0; i < output.size(); ++i) {
    ASSERT_LE(std::abs(output[i]), kCeiling) << "sample " << i;
    loudest = std::max(loudest, std::abs(output[i]));
  }
  EXPECT_GT(loudest, 0.9f * kCeiling) << "the burst was pushed down further than it had to be";
  // Held down for a while after the burst, so that a steady beat does not pump.
  const auto heldFrames = std::span(output).subspan(2 * (300 + kLookahead), 2 * 40);
  EXPECT_LT(std::abs(std::ranges::max(heldFrames, {}, [](float x) { return std::abs(x); })), 0.1f);
  for (std::size_t frame = kLookahead; frame < 1000; ++frame) {
    if (frame + kLookahead >= 200 && frame < 700)
      continue;
    ASSERT_FLOAT_EQ(output[2 * frame], input[2 * (frame - kLookahead)]) << "frame " << frame;
  }
}

class SourceLevel : public ::testing::TestWithParam<MediaFormat> {};

TEST_P(SourceLevel, SoundComesOutAtTheLevelItWasMadeAt) {
  const Level level = Capture(FixtureFile(GetParam()).path);
  EXPECT_NEAR(level.PeakDb(), kSourcePeakDb, kSourceToleranceDb) << level;
  EXPECT_EQ(level.atFullScale, 0u) << level;
}

INSTANTIATE_TEST_SUITE_P(EveryRecordedFormat, SourceLevel,
                         ::testing::Values(MediaFormat::Wav, MediaFormat::Mp3, MediaFormat::Wma,
                                           MediaFormat::Avi, MediaFormat::Wmv),
                         [](const auto& info) { return FormatName(info.param); });

} // namespace
