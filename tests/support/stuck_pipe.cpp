#include "support/stuck_pipe.h"

#include <QFile>
#include <chrono>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

StuckPipe::StuckPipe(const QString& path, QByteArray rescueBytes, int boundMs)
    : path_(QFile::encodeName(path)), rescueBytes_(std::move(rescueBytes)) {
  made_ = mkfifo(path_.constData(), 0600) == 0;
  if (!made_)
    return;
  rescuer_ = std::thread([this, boundMs] {
    std::unique_lock lock(mutex_);
    if (stopped_.wait_for(lock, std::chrono::milliseconds(boundMs), [this] { return stop_; }))
      return;
    // Succeeds only while a reader holds the pipe open, which is the case to rescue.
    const int fd = open(path_.constData(), O_WRONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
      return;
    const ssize_t written = write(fd, rescueBytes_.constData(), size_t(rescueBytes_.size()));
    static_cast<void>(written); // the reader's test fails either way
    close(fd);
  });
}

StuckPipe::~StuckPipe() {
  if (!rescuer_.joinable())
    return;
  {
    std::lock_guard lock(mutex_);
    stop_ = true;
  }
  stopped_.notify_one();
  rescuer_.join();
}
