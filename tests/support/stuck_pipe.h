#pragma once

#include <QByteArray>
#include <QString>
#include <condition_variable>
#include <mutex>
#include <thread>

// A named pipe that no one writes to, so that a reader that opens it blocks.
// Should a reader still be stuck on it when the bound runs out, the pipe is
// fed rescueBytes, so that a test ends (and fails on what was read) instead of
// hanging.
class StuckPipe {
public:
  StuckPipe(const QString& path, QByteArray rescueBytes, int boundMs = 10000);
  ~StuckPipe();
  StuckPipe(const StuckPipe&) = delete;
  StuckPipe& operator=(const StuckPipe&) = delete;

  bool Made() const { return made_; }

private:
  QByteArray path_;
  QByteArray rescueBytes_;
  bool made_ = false;
  std::mutex mutex_;
  std::condition_variable stopped_;
  bool stop_ = false;
  std::thread rescuer_;
};
