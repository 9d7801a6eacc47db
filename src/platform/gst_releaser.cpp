#include "platform/gst_releaser.h"

#include <malloc.h>

GstReleaser::GstReleaser() : worker_([this](std::stop_token stop) { Run(stop); }) {}

GstReleaser::~GstReleaser() {
  worker_.request_stop();
  worker_.join();
}

void GstReleaser::Release(GstElement* pipeline) {
  {
    const std::lock_guard lock(mutex_);
    pending_.push_back(pipeline);
  }
  wake_.notify_one();
}

void GstReleaser::Run(std::stop_token stop) {
  std::unique_lock lock(mutex_);
  for (;;) {
    wake_.wait(lock, stop, [this] { return !pending_.empty(); });
    if (pending_.empty())
      return;
    GstElement* pipeline = pending_.front();
    pending_.pop_front();
    lock.unlock();
    gst_element_set_state(pipeline, GST_STATE_NULL);
    gst_object_unref(pipeline);
    // What a media's decoders held goes back to the system, not only to the
    // allocator, so that a long evening of plays keeps the resident size flat.
    malloc_trim(0);
    lock.lock();
  }
}
