#include "support/media_fixtures.h"

#include "platform/gst_runtime.h"

#include <filesystem>
#include <fstream>
#include <gst/gst.h>
#include <memory>
#include <stdexcept>

bool PlayToTheEnd(GstElement* pipeline, GstClockTime bound) {
  gst_element_set_state(pipeline, GST_STATE_PLAYING);
  std::unique_ptr<GstBus, decltype(&gst_object_unref)> bus(gst_element_get_bus(pipeline),
                                                           gst_object_unref);
  GstMessage* message = gst_bus_timed_pop_filtered(
      bus.get(), bound, GstMessageType(GST_MESSAGE_EOS | GST_MESSAGE_ERROR));
  const bool ended = message != nullptr && GST_MESSAGE_TYPE(message) == GST_MESSAGE_EOS;
  if (message != nullptr)
    gst_message_unref(message);
  gst_element_set_state(pipeline, GST_STATE_NULL);
  return ended;
}

namespace {

constexpr std::int64_t kDurationMs = 1000;
// The WMA encoder fills its last frame of 2048 samples: eight frames at 16 kHz.
constexpr std::int64_t kAsfDurationMs = 1024;
// At 16 kbit/s and 16 kHz every MP3 frame holds 36 ms in 72 bytes; the
// encoder adds frames of its own before and after the tone.
constexpr std::int64_t kMp3FrameBytes = 72;
constexpr std::int64_t kMp3FrameMs = 36;
constexpr GstClockTime kEncodeBound = 20 * GST_SECOND;

// One second of tone at each format's rate.
const char* const kTone16k = "audiotestsrc num-buffers=10 samplesperbuffer=1600 freq=440 ! "
                             "audio/x-raw,rate=16000,channels=1 ! audioconvert ! ";
const char* const kTone8k = "audiotestsrc num-buffers=10 samplesperbuffer=800 freq=440 ! "
                            "audio/x-raw,rate=8000,channels=1,format=U8 ! ";
// One second of small pictures.
const char* const kPictures =
    "videotestsrc num-buffers=10 ! video/x-raw,width=64,height=48,framerate=10/1 ! ";

void WriteBytes(const std::string& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  if (!out.flush())
    throw std::runtime_error("cannot write " + path);
}

void Encode(const std::string& description) {
  GError* error = nullptr;
  std::unique_ptr<GstElement, decltype(&gst_object_unref)> pipeline(
      gst_parse_launch(description.c_str(), &error), gst_object_unref);
  if (error != nullptr) {
    std::string text = error->message;
    g_error_free(error);
    throw std::runtime_error("cannot build \"" + description + "\": " + text);
  }
  if (!PlayToTheEnd(pipeline.get(), kEncodeBound))
    throw std::runtime_error("encoding failed: " + description);
}

// Format 0, one track, 96 ticks a quarter at the default 120 beats a minute:
// two quarter notes make one second.
std::string MidiBytes() {
  const std::string track = {
      '\x00', '\xC0', '\x00',         // piano
      '\x00', '\x90', '\x3C', '\x64', // C4 on
      '\x60', '\x80', '\x3C', '\x00', // off a quarter later
      '\x00', '\x90', '\x40', '\x64', // E4 on
      '\x60', '\x80', '\x40', '\x00', // off a quarter later
      '\x00', '\xFF', '\x2F', '\x00', // end of track
  };
  std::string bytes = {'M', 'T', 'h', 'd', 0,   0,   0,   6, 0, 0, 0,
                       1,   0,   96,  'M', 'T', 'r', 'k', 0, 0, 0, static_cast<char>(track.size())};
  return bytes + track;
}

} // namespace

const std::vector<MediaFormat>& AllMediaFormats() {
  static const std::vector<MediaFormat> formats{MediaFormat::Wav,  MediaFormat::Mp3,
                                                MediaFormat::Midi, MediaFormat::Wma,
                                                MediaFormat::Avi,  MediaFormat::Wmv};
  return formats;
}

std::string FormatName(MediaFormat format) {
  switch (format) {
  case MediaFormat::Wav:
    return "wav";
  case MediaFormat::Mp3:
    return "mp3";
  case MediaFormat::Midi:
    return "mid";
  case MediaFormat::Wma:
    return "wma";
  case MediaFormat::Avi:
    return "avi";
  case MediaFormat::Wmv:
    return "wmv";
  }
  throw std::logic_error("unknown media format");
}

MediaFixture DescribeMediaFixture(MediaFormat format, const std::string& dir) {
  const std::string path = dir + "/fixture." + FormatName(format);
  switch (format) {
  case MediaFormat::Mp3:
    return {path, static_cast<std::int64_t>(std::filesystem::file_size(path)) / kMp3FrameBytes *
                      kMp3FrameMs};
  case MediaFormat::Wma:
  case MediaFormat::Wmv:
    return {path, kAsfDurationMs};
  case MediaFormat::Wav:
  case MediaFormat::Midi:
  case MediaFormat::Avi:
    break;
  }
  return {path, kDurationMs};
}

MediaFixture WriteMediaFixture(MediaFormat format, const std::string& dir) {
  EnsureGstReady();
  const std::string path = dir + "/fixture." + FormatName(format);
  const std::string sink = "filesink location=\"" + path + "\"";
  switch (format) {
  case MediaFormat::Wav:
    Encode(kTone8k + std::string("wavenc ! ") + sink);
    break;
  case MediaFormat::Mp3:
    Encode(kTone16k + std::string("lamemp3enc target=bitrate bitrate=16 cbr=true ! ") + sink);
    break;
  case MediaFormat::Midi:
    WriteBytes(path, MidiBytes());
    break;
  case MediaFormat::Wma:
    Encode(kTone16k + std::string("avenc_wmav2 bitrate=32000 ! asfmux ! ") + sink);
    break;
  case MediaFormat::Avi:
    Encode("avimux name=mux ! " + sink + " " + kPictures + "jpegenc ! mux. " + kTone8k + "mux.");
    break;
  case MediaFormat::Wmv:
    Encode("asfmux name=mux ! " + sink + " " + kPictures + "avenc_wmv2 ! mux. " + kTone16k +
           "avenc_wmav2 bitrate=32000 ! mux.");
    break;
  }
  return DescribeMediaFixture(format, dir);
}

std::string WriteTruncatedMp3(const std::string& dir) {
  const std::string whole = WriteMediaFixture(MediaFormat::Mp3, dir).path;
  const std::string path = dir + "/truncated.mp3";
  std::filesystem::copy_file(whole, path, std::filesystem::copy_options::overwrite_existing);
  // Less than two frames: too little for the media layer to know it for MP3.
  std::filesystem::resize_file(path, 80);
  return path;
}

std::string WriteTextAsMp3(const std::string& dir) {
  const std::string path = dir + "/notes.mp3";
  WriteBytes(path, "These are the words of a song, not its sound.\n");
  return path;
}

std::string WriteEmptyFile(const std::string& dir, const std::string& name) {
  const std::string path = dir + "/" + name;
  WriteBytes(path, "");
  return path;
}
