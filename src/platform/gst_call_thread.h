#pragma once

#include <chrono>
#include <functional>
#include <memory>

// Runs the calls that can block inside the media layer (state changes,
// flushing seeks) on a thread of its own, so that the window waits for each
// only as long as its bound. A stuck streaming thread blocks every later
// state change of its pipeline, so a thread whose call overran is given up
// together with that pipeline: it finishes in the background, and the next
// call starts a fresh thread.
class GstCallThread {
public:
  GstCallThread();
  // Waits a short while for queued calls to finish; a thread that is still
  // stuck then is left to end with the process.
  ~GstCallThread();
  GstCallThread(const GstCallThread&) = delete;
  GstCallThread& operator=(const GstCallThread&) = delete;

  // Runs call and waits for it at most bound. True when it finished (an
  // exception it threw is rethrown here); false when the bound ran out, and
  // then the caller must Abandon before it calls again.
  bool Run(std::function<void()> call, std::chrono::milliseconds bound);
  // Queues call behind the others without waiting for it; call must not throw.
  // Used alone, this makes a queue of work that nobody waits for.
  void Post(std::function<void()> call);
  // Queues last behind the stuck call and gives that thread up.
  void Abandon(std::function<void()> last);

private:
  struct Worker;
  std::shared_ptr<Worker> worker_;
};
