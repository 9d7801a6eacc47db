#pragma once

#include <stdexcept>
#include <string>

// The one exception type the program raises on purpose. Its message is meant
// for the person at the screen: every event handler's guard shows it as is.
class MdkError : public std::runtime_error {
public:
  explicit MdkError(const std::string& message) : std::runtime_error(message) {}
};

// A failure of the sound or the video output rather than of the media file:
// the file is not to blame, and another file would fail the same way.
class MdkOutputError : public MdkError {
public:
  using MdkError::MdkError;
};
