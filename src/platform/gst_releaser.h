#pragma once

#include <condition_variable>
#include <deque>
#include <gst/gst.h>
#include <mutex>
#include <thread>

// Takes stopped pipelines down and frees them on a thread of its own: freeing
// a MIDI synthesiser waits about 100 ms for its sound font to unload, which
// the caller (the GUI thread, in the middle of the next Open) must not sit
// through. Pending releases finish before destruction returns.
class GstReleaser {
public:
  GstReleaser();
  ~GstReleaser();
  GstReleaser(const GstReleaser&) = delete;
  GstReleaser& operator=(const GstReleaser&) = delete;

  // Takes over the caller's reference to a pipeline that no longer streams
  // (READY or below) and that the caller no longer touches.
  void Release(GstElement* pipeline);

private:
  void Run(std::stop_token stop);

  std::mutex mutex_;
  std::condition_variable_any wake_;
  std::deque<GstElement*> pending_;
  std::jthread worker_;
};
