#include "platform/gst_video_window.h"

#include "platform/mdk_error.h"
#include "platform/video_window.h"

#include <QGuiApplication>
#include <QMetaObject>
#include <mutex>
#include <utility>

namespace {

// The byte order of QImage::Format_RGB32, which Qt draws without converting.
constexpr const char* kFrameFormat = Q_BYTE_ORDER == Q_LITTLE_ENDIAN ? "BGRx" : "xRGB";
constexpr int kFrameBytesPerPixel = 4;

// A frame's buffer, mapped for as long as the image drawn from it lives, so
// that the picture is never copied.
struct MappedFrame {
  GstSample* sample;
  GstMapInfo map;

  static void Release(void* info) {
    auto* frame = static_cast<MappedFrame*>(info);
    gst_buffer_unmap(gst_sample_get_buffer(frame->sample), &frame->map);
    gst_sample_unref(frame->sample);
    delete frame;
  }
};

// Takes the sample over; a sample whose picture cannot be read is dropped.
void ShowSample(VideoWindow& window, GstSample* sample) {
  GstCaps* caps = gst_sample_get_caps(sample);
  GstBuffer* buffer = gst_sample_get_buffer(sample);
  int width = 0;
  int height = 0;
  int aspectNumerator = 1;
  int aspectDenominator = 1;
  if (caps != nullptr && !gst_caps_is_empty(caps)) {
    const GstStructure* format = gst_caps_get_structure(caps, 0);
    gst_structure_get_int(format, "width", &width);
    gst_structure_get_int(format, "height", &height);
    gst_structure_get_fraction(format, "pixel-aspect-ratio", &aspectNumerator, &aspectDenominator);
  }
  auto* frame = new MappedFrame{sample, {}};
  if (width <= 0 || height <= 0 || aspectNumerator <= 0 || aspectDenominator <= 0 ||
      buffer == nullptr || !gst_buffer_map(buffer, &frame->map, GST_MAP_READ)) {
    gst_sample_unref(sample);
    delete frame;
    return;
  }
  // Without a video meta, which the sink does not accept, rows lie packed.
  const qsizetype bytesPerLine = qsizetype(width) * kFrameBytesPerPixel;
  if (frame->map.size < size_t(bytesPerLine) * size_t(height)) {
    MappedFrame::Release(frame);
    return;
  }
  const QImage image(frame->map.data, width, height, bytesPerLine, QImage::Format_RGB32,
                     MappedFrame::Release, frame);
  const int displayWidth = qMax(1, int(qint64(width) * aspectNumerator / aspectDenominator));
  window.ShowFrame(image, QSize(displayWidth, height));
}

} // namespace

// Shared by the window's owner and the sink, which may outlive it in a
// pipeline that is taken down on another thread.
struct GstVideoWindow::HandOff : std::enable_shared_from_this<HandOff> {
  std::mutex mutex;
  // Cleared before the window goes, so that the streaming thread never posts
  // to a window that is being destroyed.
  VideoWindow* window = nullptr;
  bool playing = false;
  bool ended = false;
  // A delivery is queued on the GUI thread; later frames only replace the
  // one waiting in the slot.
  bool posted = false;
  GstSample* frame = nullptr;

  // Streaming thread; takes the sample over.
  void Offer(GstSample* sample) {
    {
      const std::lock_guard lock(mutex);
      if (window != nullptr && playing) {
        sample = std::exchange(frame, sample);
        PostLocked();
      }
    }
    if (sample != nullptr)
      gst_sample_unref(sample);
  }

  // Streaming thread.
  void End() {
    const std::lock_guard lock(mutex);
    if (window == nullptr)
      return;
    ended = true;
    PostLocked();
  }

  void PostLocked() {
    if (posted)
      return;
    posted = true;
    // Queued on the window, the delivery dies with it if it is never run.
    QMetaObject::invokeMethod(
        window, [self = shared_from_this(), target = window] { self->Deliver(*target); },
        Qt::QueuedConnection);
  }

  // GUI thread.
  void Deliver(VideoWindow& target) {
    GstSample* sample = nullptr;
    bool end = false;
    {
      const std::lock_guard lock(mutex);
      sample = std::exchange(frame, nullptr);
      end = std::exchange(ended, false);
      posted = false;
    }
    if (sample != nullptr)
      ShowSample(target, sample);
    if (end)
      target.Retire();
  }

  // GUI thread: the frame waiting in the slot is dropped.
  void Set(VideoWindow* target, bool play) {
    GstSample* dropped = nullptr;
    {
      const std::lock_guard lock(mutex);
      window = target;
      playing = play;
      ended = false;
      dropped = std::exchange(frame, nullptr);
    }
    if (dropped != nullptr)
      gst_sample_unref(dropped);
  }
};

bool GstVideoWindow::Available() {
  return qobject_cast<QGuiApplication*>(QCoreApplication::instance()) != nullptr;
}

GstVideoWindow::GstVideoWindow(const QString& title)
    : handOff_(std::make_shared<HandOff>()), window_(std::make_unique<VideoWindow>(title)) {
  GstElement* sink = gst_element_factory_make("appsink", nullptr);
  if (sink == nullptr)
    throw MdkOutputError("The video output cannot be made: the media layer has no appsink "
                         "element (it comes with GStreamer's base plug-ins).");
  sink_ = GST_ELEMENT(gst_object_ref_sink(sink));
  GstCaps* caps =
      gst_caps_new_simple("video/x-raw", "format", G_TYPE_STRING, kFrameFormat, nullptr);
  // One buffer at most waits in the sink: a frame that the slot replaces is
  // late anyway. Late frames are skipped upstream (qos) rather than drawn.
  g_object_set(sink_, "caps", caps, "sync", TRUE, "qos", TRUE, "max-buffers", 1u, "drop", TRUE,
               "enable-last-sample", FALSE, "emit-signals", TRUE, nullptr);
  gst_caps_unref(caps);
  g_object_set_data_full(
      G_OBJECT(sink_), "mdk-hand-off", new std::shared_ptr<HandOff>(handOff_),
      [](gpointer data) { delete static_cast<std::shared_ptr<HandOff>*>(data); });
  g_signal_connect(sink_, "new-sample", G_CALLBACK(OnNewSample), handOff_.get());
  g_signal_connect(sink_, "eos", G_CALLBACK(OnEndOfStream), handOff_.get());
  handOff_->Set(window_.get(), false);
}

GstVideoWindow::~GstVideoWindow() {
  handOff_->Set(nullptr, false);
  window_.reset();
  gst_object_unref(sink_);
}

void GstVideoWindow::Play() {
  handOff_->Set(window_.get(), true);
}

void GstVideoWindow::Retire() {
  handOff_->Set(window_.get(), false);
  window_->Retire();
}

GstFlowReturn GstVideoWindow::OnNewSample(GstElement* sink, gpointer handOff) {
  GstSample* sample = nullptr;
  g_signal_emit_by_name(sink, "pull-sample", &sample);
  if (sample != nullptr)
    static_cast<HandOff*>(handOff)->Offer(sample);
  return GST_FLOW_OK;
}

void GstVideoWindow::OnEndOfStream(GstElement*, gpointer handOff) {
  static_cast<HandOff*>(handOff)->End();
}
