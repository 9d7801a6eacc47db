#include "platform/gst_call_thread.h"

#include <condition_variable>
#include <deque>
#include <future>
#include <mutex>
#include <thread>

namespace {

// How long the end of the program waits for calls still queued (taking the
// last pipeline down).
constexpr std::chrono::milliseconds kDrainBound{2000};

} // namespace

// Shared by the owner and the thread, so that a thread that was given up can
// run on after its owner has moved on or is gone.
struct GstCallThread::Worker {
  std::mutex mutex;
  std::condition_variable wake;
  std::deque<std::function<void()>> calls;
  bool closing = false;
  std::promise<void> finished;

  static std::shared_ptr<Worker> Start() {
    auto worker = std::make_shared<Worker>();
    std::thread([worker] { worker->Serve(); }).detach();
    return worker;
  }

  void Serve() {
    std::unique_lock lock(mutex);
    for (;;) {
      wake.wait(lock, [this] { return closing || !calls.empty(); });
      if (calls.empty())
        break;
      std::function<void()> call = std::move(calls.front());
      calls.pop_front();
      lock.unlock();
      call();
      lock.lock();
    }
    lock.unlock();
    finished.set_value();
  }

  void Push(std::function<void()> call) {
    {
      const std::lock_guard lock(mutex);
      calls.push_back(std::move(call));
    }
    wake.notify_one();
  }

  // Whatever is queued still runs; then the thread ends.
  std::future<void> Close() {
    std::future<void> done = finished.get_future();
    {
      const std::lock_guard lock(mutex);
      closing = true;
    }
    wake.notify_one();
    return done;
  }
};

GstCallThread::GstCallThread() : worker_(Worker::Start()) {}

GstCallThread::~GstCallThread() {
  worker_->Close().wait_for(kDrainBound);
}

bool GstCallThread::Run(std::function<void()> call, std::chrono::milliseconds bound) {
  auto done = std::make_shared<std::promise<void>>();
  std::future<void> result = done->get_future();
  worker_->Push([call = std::move(call), done] {
    try {
      call();
      done->set_value();
    } catch (...) {
      done->set_exception(std::current_exception());
    }
  });
  if (result.wait_for(bound) != std::future_status::ready)
    return false;
  result.get();
  return true;
}

void GstCallThread::Post(std::function<void()> call) {
  worker_->Push(std::move(call));
}

void GstCallThread::Abandon(std::function<void()> last) {
  worker_->Push(std::move(last));
  // Nobody waits for the given-up thread: it ends once its stuck call returns.
  (void)worker_->Close();
  worker_ = Worker::Start();
}
