#include "platform/gst_media_player.h"

#include "platform/gst_media_path.h"
#include "platform/gst_midi_synth.h"
#include "platform/gst_runtime.h"
#include "platform/mdk_error.h"

#include <filesystem>
#include <malloc.h>
#include <memory>
#include <utility>

namespace {

using MessagePtr = std::unique_ptr<GstMessage, decltype(&gst_message_unref)>;
using BusPtr = std::unique_ptr<GstBus, decltype(&gst_object_unref)>;
using Clock = std::chrono::steady_clock;

const char* const kNotOpen = "No media is open.";

// How long a refused state change may take to put its reason on the bus.
constexpr GstClockTime kErrorGrace = 500 * GST_MSECOND;
// The preroll ends itself this long before Open stops waiting for it, so
// that its own, more precise message normally wins.
constexpr std::chrono::milliseconds kPrerollMargin{300};

std::string Seconds(std::chrono::milliseconds bound) {
  const auto tenths = bound.count() / 100;
  return std::to_string(tenths / 10) + (tenths % 10 != 0 ? "." + std::to_string(tenths % 10) : "");
}

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

// What a preroll needs; copied into the call thread, which may outlive Open.
struct Preroll {
  GstElement* pipeline;
  GstOutput sound;
  GstOutput video;
  std::string path;

  [[noreturn]] void Fail(const std::string& reason) const {
    throw MdkError(CannotOpenMessage(path, reason));
  }

  // The error as the user should read it: an output's failure is not the file's.
  [[noreturn]] void Fail(GstMessage* error) const {
    for (const GstOutput* output : {&sound, &video})
      if (ComesFrom(*output, GST_MESSAGE_SRC(error)))
        throw MdkOutputError("The " + std::string(output->name) + " does not work, so " + path +
                             " cannot be played: " + ErrorText(error));
    Fail(ErrorText(error));
  }

  [[noreturn]] void FailStalled(std::chrono::milliseconds bound) const {
    for (const GstOutput* output : {&sound, &video})
      if (ReachedButNotStarted(pipeline, *output))
        throw MdkOutputError("The " + std::string(output->name) + " did not start within " +
                             Seconds(bound) + " seconds, so " + path + " cannot be played.");
    Fail("The media did not get ready within " + Seconds(bound) + " seconds");
  }

  // Starts the preroll; true when it finished at once.
  bool Start(GstBus* bus) const {
    const GstStateChangeReturn change = gst_element_set_state(pipeline, GST_STATE_PAUSED);
    if (change != GST_STATE_CHANGE_FAILURE)
      return change != GST_STATE_CHANGE_ASYNC;
    // The refusal can come back before the reason reaches the bus.
    const MessagePtr error(gst_bus_timed_pop_filtered(bus, kErrorGrace, GST_MESSAGE_ERROR),
                           gst_message_unref);
    if (error)
      Fail(error.get());
    Fail("The media layer refused to open it");
  }

  void Run(Clock::time_point deadline, std::chrono::milliseconds bound) const {
    const BusPtr bus(gst_element_get_bus(pipeline), gst_object_unref);
    if (Start(bus.get()))
      return;
    const Clock::time_point retryAt = Clock::now() + GstMediaPlayer::kStallRetry;
    bool retried = false;
    for (;;) {
      const auto left = std::chrono::duration_cast<std::chrono::nanoseconds>(
          (retried ? deadline : std::min(retryAt, deadline)) - Clock::now());
      const MessagePtr message(left.count() > 0
                                   ? gst_bus_timed_pop_filtered(
                                         bus.get(), left.count(),
                                         GstMessageType(GST_MESSAGE_ERROR | GST_MESSAGE_ASYNC_DONE))
                                   : nullptr,
                               gst_message_unref);
      if (message && GST_MESSAGE_TYPE(message.get()) == GST_MESSAGE_ERROR)
        Fail(message.get());
      if (message) {
        if (GST_MESSAGE_SRC(message.get()) == GST_OBJECT(pipeline))
          return;
        continue;
      }
      if (retried || Clock::now() >= deadline)
        FailStalled(bound);
      retried = true;
      // A demuxer that fails the moment it is plugged in can have its error
      // dropped by the decoder bin, which then waits for it forever; a second
      // attempt almost always gets the error through. A slow output is not
      // helped by it and is waited for instead.
      if (ReachedButNotStarted(pipeline, sound) || ReachedButNotStarted(pipeline, video))
        continue;
      gst_element_set_state(pipeline, GST_STATE_READY);
      while (GstMessage* raw = gst_bus_pop(bus.get())) {
        const MessagePtr stale(raw, gst_message_unref);
        if (GST_MESSAGE_TYPE(raw) == GST_MESSAGE_ERROR)
          Fail(raw);
      }
      if (Start(bus.get()))
        return;
    }
  }
};

GstElement* MakePlaybin(const std::string& path, const GstOutput& sound, const GstOutput& video) {
  GstElement* playbin = gst_element_factory_make("playbin", nullptr);
  if (playbin == nullptr)
    throw MdkError(CannotOpenMessage(path, "the media layer has no playbin element"));
  gst_object_ref_sink(playbin);
  if (sound.sink != nullptr)
    g_object_set(playbin, "audio-sink", sound.sink, nullptr);
  if (video.sink != nullptr)
    g_object_set(playbin, "video-sink", video.sink, nullptr);
  gchar* uri = gst_filename_to_uri(path.c_str(), nullptr);
  g_object_set(playbin, "uri", uri, nullptr);
  g_free(uri);
  g_signal_connect(playbin, "element-setup", G_CALLBACK(OnElementSetup), nullptr);
  return playbin;
}

void TakeDown(GstElement* pipeline) {
  gst_element_set_state(pipeline, GST_STATE_NULL);
  gst_object_unref(pipeline);
  // What a media's decoders held goes back to the system, not only to the
  // allocator, so that a long evening of plays keeps the resident size flat.
  malloc_trim(0);
}

} // namespace

// The media layer is first needed by Open: until then it may still be getting
// ready on the thread that the program's start gave it, while the window is
// built.
GstMediaPlayer::GstMediaPlayer() = default;

GstMediaPlayer::~GstMediaPlayer() {
  Close();
}

void GstMediaPlayer::Open() {
  EnsureGstReady();
  Close();
  error_ = kErrorFailed;
  const std::string path = ResolveMediaPath(fileName_);
  GstOutput sound = MakeOutput(GstOutputKind::Sound);
  GstOutput video;
  std::unique_ptr<GstVideoWindow> window;
  try {
    video = MakeOutput(GstOutputKind::Video);
    if (video.sink == nullptr && GstVideoWindow::Available()) {
      // Titled as the list shows the entry: the name without its folder.
      window = std::make_unique<GstVideoWindow>(
          QString::fromLocal8Bit(std::filesystem::path(path).filename().string()));
      video.sink = window->Sink();
    }
  } catch (...) {
    if (sound.sink != nullptr)
      gst_object_unref(gst_object_ref_sink(sound.sink));
    throw;
  }
  pipeline_ = MakePlaybin(path, sound, video);
  sound_ = sound;
  video_ = video;
  window_ = std::move(window);
  const Preroll preroll{pipeline_, sound, video, path};
  const Clock::time_point deadline = Clock::now() + kOpenTimeout - kPrerollMargin;
  bool answered = false;
  try {
    answered =
        calls_.Run([preroll, deadline] { preroll.Run(deadline, kOpenTimeout); }, kOpenTimeout);
  } catch (...) {
    Close();
    throw;
  }
  if (!answered) {
    // Read while the pipeline is still ours: once given up it may go any moment.
    try {
      preroll.FailStalled(kOpenTimeout);
    } catch (...) {
      GiveUp();
      throw;
    }
  }
  requested_ = Requested::Stopped;
  atEnd_ = false;
  halted_ = false;
  lengthMs_ = 0;
  error_ = 0;
  NoteSilentOutputs();
}

void GstMediaPlayer::NoteSilentOutputs() {
  if (!toldNoSound_ && FellBackToNothing(pipeline_, sound_)) {
    toldNoSound_ = true;
    outputNotice_ = "No sound output was found (no sound server or sound device answered), so "
                    "media play without sound.";
  }
  if (!toldNoVideo_ && FellBackToNothing(pipeline_, video_)) {
    toldNoVideo_ = true;
    outputNotice_ = "No video output was found (no display answered), so videos play without "
                    "a picture.";
  }
}

std::string GstMediaPlayer::TakeOutputNotice() {
  return std::exchange(outputNotice_, {});
}

void GstMediaPlayer::Close() {
  if (pipeline_ == nullptr)
    return;
  window_.reset();
  // READY stops the streaming threads; the slow rest is left to the releaser.
  GstElement* pipeline = pipeline_;
  if (calls_.Run([pipeline] { gst_element_set_state(pipeline, GST_STATE_READY); }, kCallTimeout)) {
    releaser_.Post([pipeline] { TakeDown(pipeline); });
    pipeline_ = nullptr;
    sound_ = video_ = {};
  } else {
    GiveUp();
  }
}

// The pipeline goes with the call thread that is stuck in it, and is taken
// down there whenever the stuck call returns.
void GstMediaPlayer::GiveUp() {
  window_.reset();
  GstElement* pipeline = pipeline_;
  calls_.Abandon([pipeline] { TakeDown(pipeline); });
  pipeline_ = nullptr;
  sound_ = video_ = {};
}

void GstMediaPlayer::RequireOpen() const {
  if (pipeline_ == nullptr)
    throw MdkError(kNotOpen);
}

bool GstMediaPlayer::Change(const std::function<bool(GstElement*)>& change) {
  auto ok = std::make_shared<bool>(false);
  GstElement* pipeline = pipeline_;
  if (calls_.Run([change, pipeline, ok] { *ok = change(pipeline); }, kCallTimeout))
    return *ok;
  GiveUp();
  throw MdkOutputError("The media layer did not answer within " + Seconds(kCallTimeout) +
                       " seconds, so " + fileName_ + " was closed.");
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
    case GST_MESSAGE_ERROR: {
      // A failure while streaming ends the media early; the program sees it
      // as stopped and goes on as after a normal end, so the text is dropped.
      GstElement* pipeline = pipeline_;
      calls_.Post([pipeline] { gst_element_set_state(pipeline, GST_STATE_READY); });
      if (window_)
        window_->Retire();
      halted_ = true;
      atEnd_ = false;
      requested_ = Requested::Stopped;
      break;
    }
    default:
      break;
    }
  }
}

namespace {

bool SetState(GstElement* pipeline, GstState state) {
  return gst_element_set_state(pipeline, state) != GST_STATE_CHANGE_FAILURE;
}

bool Rewind(GstElement* pipeline) {
  return gst_element_seek_simple(pipeline, GST_FORMAT_TIME, GST_SEEK_FLAG_FLUSH, 0);
}

} // namespace

void GstMediaPlayer::Play() {
  RequireOpen();
  ReadBus();
  if (requested_ == Requested::Playing && !atEnd_) {
    error_ = 0;
    return;
  }
  const bool rewind = !halted_ && atEnd_;
  halted_ = false;
  atEnd_ = false;
  if (window_)
    window_->Play();
  const bool ok = Change([rewind](GstElement* pipeline) {
    return (!rewind || Rewind(pipeline)) && SetState(pipeline, GST_STATE_PLAYING);
  });
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
  const bool ok = Change([](GstElement* pipeline) { return SetState(pipeline, GST_STATE_PAUSED); });
  if (ok)
    requested_ = Requested::Paused;
  error_ = ok ? 0 : kErrorFailed;
}

void GstMediaPlayer::Stop() {
  RequireOpen();
  ReadBus();
  if (window_)
    window_->Retire();
  bool ok = true;
  if (!halted_) {
    try {
      ok = Change([](GstElement* pipeline) {
        return SetState(pipeline, GST_STATE_PAUSED) && Rewind(pipeline);
      });
    } catch (const MdkOutputError&) {
      // A media that does not answer has been given up, which stops it as
      // surely; the stop the caller asked for happened, also at the exit.
      return;
    }
  }
  atEnd_ = false;
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
