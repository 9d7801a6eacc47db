#pragma once

#include <string>

// The single-instance rule: an exclusive advisory lock on a per-user file,
// tested and taken in one step. The kernel drops it when the process ends.
class InstanceLock {
public:
  enum class State {
    Acquired,      // this process is the first copy
    HeldElsewhere, // a running copy holds it: this is a second launch
    Unavailable,   // no lock could be had; the process runs as the first copy
  };

  explicit InstanceLock(const std::string& path);
  ~InstanceLock();
  InstanceLock(const InstanceLock&) = delete;
  InstanceLock& operator=(const InstanceLock&) = delete;

  State GetState() const { return state_; }
  void Release();

private:
  int fd_ = -1;
  State state_ = State::Unavailable;
};
