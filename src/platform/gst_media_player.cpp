#include "platform/gst_media_player.h"

#include "platform/gst_media_path.h"
#include "platform/gst_midi_synth.h"
#include "platform/gst_runtime.h"
#include "platform/gst_sinks.h"
#include "platform/mdk_error.h"

#include <memory>

namespace {

using MessagePtr = std::unique_ptr<GstMessage, decltype(&gst_message_unref)>;
using BusPtr = std::unique_ptr<GstBus, decltype(&gst_object_unref)>;

const char* const kNotOpen = "No media is open.";

// How long a refused state change may take to put its reason on the bus.
constexpr GstClockTime kErrorGrace = 500 * GST_MSECOND;

std::string ErrorText(GstMessage* message) {
  GError* error = nullptr;
  gst_message_parse_error(message, &error, nullptr);
  std::string text = error != nullptr && error->message != nullptr && *error->message != '\0'
                         ? error->message
                         : "The media layer reported an unnamed error.";
  if (error != nullptr)
    g_error_free(error);
  return text;
}

void OnElementSetup(GstElement*, GstElement* element, gpointer) {
  SetUpMidiSynth(element);
}

GstElement* MakePlaybin(const std::string& path) {
  GstElement* playbin = gst_element_factory_make("playbin", nullptr);
  if (playbin == nullptr)
    throw MdkError(CannotOpenMessage(path, "the media layer has no playbin element"));
  gst_object_ref_sink(playbin);
  try {
    if (GstElement* sink = SinkFromEnvironment("MELLOWDECK_AUDIO_SINK"))
      g_object_set(playbin, "audio-sink", sink, nullptr);
    if (GstElement* sink = SinkFromEnvironment("MELLOWDECK_VIDEO_SINK"))
      g_object_set(playbin, "video-sink", sink, nullptr);
  } catch (...) {
    gst_object_unref(playbin);
    throw;
  }
  gchar* uri = gst_filename_to_uri(path.c_str(), nullptr);
  g_object_set(playbin, "uri", uri, nullptr);
  g_free(uri);
  g_signal_connect(playbin, "element-setup", G_CALLBACK(OnElementSetup), nullptr);
  return playbin;
}

} // namespace

GstMediaPlayer::GstMediaPlayer() {
  EnsureGstReady();
}

GstMediaPlayer::~GstMediaPlayer() {
  Close();
}

void GstMediaPlayer::Open() {
  Close();
  error_ = kErrorFailed;
  const std::string path = ResolveMediaPath(fileName_);
  pipeline_ = MakePlaybin(path);
  try {
    Preroll(path);
  } catch (...) {
    Close();
    throw;
  }
  requested_ = Requested::Stopped;
  atEnd_ = false;
  halted_ = false;
  lengthMs_ = 0;
  error_ = 0;
}

// Starts the preroll; true when it finished at once.
bool GstMediaPlayer::StartPreroll(GstBus* bus, const std::string& path) {
  const GstStateChangeReturn change = gst_element_set_state(pipeline_, GST_STATE_PAUSED);
  if (change != GST_STATE_CHANGE_FAILURE)
    return change != GST_STATE_CHANGE_ASYNC;
  // The refusal can come back before the reason reaches the bus.
  const MessagePtr error(gst_bus_timed_pop_filtered(bus, kErrorGrace, GST_MESSAGE_ERROR),
                         gst_message_unref);
  throw MdkError(CannotOpenMessage(path, error ? ErrorText(error.get())
                                               : "The media layer refused to open it"));
}

void GstMediaPlayer::Preroll(const std::string& path) {
  const BusPtr bus(gst_element_get_bus(pipeline_), gst_object_unref);
  if (StartPreroll(bus.get(), path))
    return;
  const auto start = std::chrono::steady_clock::now();
  bool retried = false;
  for (;;) {
    const auto limit = start + (retried ? kOpenTimeout : kStallRetry);
    const auto left = std::chrono::duration_cast<std::chrono::nanoseconds>(
        limit - std::chrono::steady_clock::now());
    const MessagePtr message(
        left.count() > 0
            ? gst_bus_timed_pop_filtered(bus.get(), left.count(),
                                         GstMessageType(GST_MESSAGE_ERROR | GST_MESSAGE_ASYNC_DONE))
            : nullptr,
        gst_message_unref);
    if (message && GST_MESSAGE_TYPE(message.get()) == GST_MESSAGE_ERROR)
      throw MdkError(CannotOpenMessage(path, ErrorText(message.get())));
    if (message) {
      if (GST_MESSAGE_SRC(message.get()) == GST_OBJECT(pipeline_))
        return;
      continue;
    }
    if (retried)
      throw MdkError(CannotOpenMessage(
          path, "The media did not get ready within " +
                    std::to_string(
                        std::chrono::duration_cast<std::chrono::seconds>(kOpenTimeout).count()) +
                    " seconds"));
    // A demuxer that fails the moment it is plugged in can have its error
    // dropped by the decoder bin, which then waits for it forever; a second
    // attempt almost always gets the error through.
    retried = true;
    gst_element_set_state(pipeline_, GST_STATE_READY);
    while (GstMessage* raw = gst_bus_pop(bus.get())) {
      const MessagePtr stale(raw, gst_message_unref);
      if (GST_MESSAGE_TYPE(raw) == GST_MESSAGE_ERROR)
        throw MdkError(CannotOpenMessage(path, ErrorText(raw)));
    }
    if (StartPreroll(bus.get(), path))
      return;
  }
}

void GstMediaPlayer::Close() {
  if (pipeline_ == nullptr)
    return;
  // READY stops the streaming threads here and now; the slow rest is left
  // to the releaser.
  gst_element_set_state(pipeline_, GST_STATE_READY);
  releaser_.Release(pipeline_);
  pipeline_ = nullptr;
}

void GstMediaPlayer::RequireOpen() const {
  if (pipeline_ == nullptr)
    throw MdkError(kNotOpen);
}

// The program never runs a GStreamer loop of its own, so every call first
// takes in what the pipeline has reported since the last one.
void GstMediaPlayer::ReadBus() {
  if (pipeline_ == nullptr)
    return;
  const BusPtr bus(gst_element_get_bus(pipeline_), gst_object_unref);
  while (GstMessage* raw = gst_bus_pop(bus.get())) {
    const MessagePtr message(raw, gst_message_unref);
    switch (GST_MESSAGE_TYPE(raw)) {
    case GST_MESSAGE_EOS:
      atEnd_ = true;
      break;
    case GST_MESSAGE_ERROR:
      // A failure while streaming ends the media early; the program sees it
      // as stopped and goes on as after a normal end, so the text is dropped.
      gst_element_set_state(pipeline_, GST_STATE_READY);
      halted_ = true;
      atEnd_ = false;
      requested_ = Requested::Stopped;
      break;
    default:
      break;
    }
  }
}

bool GstMediaPlayer::SetState(GstState state) {
  return gst_element_set_state(pipeline_, state) != GST_STATE_CHANGE_FAILURE;
}

bool GstMediaPlayer::Rewind() {
  atEnd_ = false;
  return gst_element_seek_simple(pipeline_, GST_FORMAT_TIME, GST_SEEK_FLAG_FLUSH, 0);
}

void GstMediaPlayer::Play() {
  RequireOpen();
  ReadBus();
  if (requested_ == Requested::Playing && !atEnd_) {
    error_ = 0;
    return;
  }
  bool ok = true;
  if (halted_)
    halted_ = false;
  else if (atEnd_)
    ok = Rewind();
  ok = ok && SetState(GST_STATE_PLAYING);
  requested_ = ok ? Requested::Playing : Requested::Stopped;
  error_ = ok ? 0 : kErrorFailed;
}

void GstMediaPlayer::Pause() {
  RequireOpen();
  ReadBus();
  if (requested_ == Requested::Paused) {
    error_ = 0;
    return;
  }
  if (requested_ != Requested::Playing || atEnd_) {
    error_ = kErrorRefused;
    return;
  }
  const bool ok = SetState(GST_STATE_PAUSED);
  if (ok)
    requested_ = Requested::Paused;
  error_ = ok ? 0 : kErrorFailed;
}

void GstMediaPlayer::Stop() {
  RequireOpen();
  ReadBus();
  bool ok = true;
  if (!halted_)
    ok = SetState(GST_STATE_PAUSED) && Rewind();
  requested_ = Requested::Stopped;
  error_ = ok ? 0 : kErrorFailed;
}

int GstMediaPlayer::Mode() {
  if (pipeline_ == nullptr)
    return mpNotReady;
  ReadBus();
  switch (requested_) {
  case Requested::Playing:
    return atEnd_ ? mpStopped : mpPlaying;
  case Requested::Paused:
    return mpPaused;
  case Requested::Stopped:
    break;
  }
  return mpStopped;
}

// Some media learn their length only once they play (an MP3 without a
// length header), so it is asked for afresh each time; a failed query keeps
// the last length known.
std::int64_t GstMediaPlayer::Length() {
  RequireOpen();
  gint64 duration = 0;
  if (gst_element_query_duration(pipeline_, GST_FORMAT_TIME, &duration) && duration >= 0)
    lengthMs_ = duration / GST_MSECOND;
  return lengthMs_;
}

std::int64_t GstMediaPlayer::Position() {
  if (pipeline_ == nullptr)
    return 0;
  gint64 position = 0;
  if (!gst_element_query_position(pipeline_, GST_FORMAT_TIME, &position) || position < 0)
    return 0;
  return position / GST_MSECOND;
}
