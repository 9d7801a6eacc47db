#pragma once

#include <QString>
#include <gst/gst.h>
#include <memory>

class VideoWindow;

// The video of one media shown in a window of the program's own rather than
// in one that the media layer makes: the pipeline's sink converts frames to
// RGB and leaves the newest one in a slot that the GUI thread empties when
// its loop comes round. Neither thread ever waits for the other: a GUI busy
// in a blocking call misses frames, and a stuck pipeline leaves the window
// as it is. Used from the GUI thread only.
class GstVideoWindow {
public:
  // Whether the program has a GUI to show the window on; without one, the
  // media layer shows videos in a window of its own.
  static bool Available();

  // Throws MdkOutputError when the media layer cannot make the sink.
  explicit GstVideoWindow(const QString& title);
  // The window closes at once; the sink, which may live on in a pipeline
  // that is being taken down elsewhere, hands nothing over from then on.
  ~GstVideoWindow();
  GstVideoWindow(const GstVideoWindow&) = delete;
  GstVideoWindow& operator=(const GstVideoWindow&) = delete;

  // The pipeline's video sink, for as long as this object lives.
  GstElement* Sink() const { return sink_; }
  // Frames played from now on are shown; the first brings the window up.
  void Play();
  // Hides the window and lets frames pass unseen until the next Play.
  void Retire();

private:
  struct HandOff;

  static GstFlowReturn OnNewSample(GstElement* sink, gpointer handOff);
  static void OnEndOfStream(GstElement* sink, gpointer handOff);

  std::shared_ptr<HandOff> handOff_;
  std::unique_ptr<VideoWindow> window_;
  GstElement* sink_ = nullptr;
};
