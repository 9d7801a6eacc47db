#pragma once

#include <string>

// Makes a directory current for the scope's life and restores the previous
// one on every road out, exceptions included.
class CurrentDirectoryScope {
public:
  explicit CurrentDirectoryScope(const std::string& directory);
  ~CurrentDirectoryScope();
  CurrentDirectoryScope(const CurrentDirectoryScope&) = delete;
  CurrentDirectoryScope& operator=(const CurrentDirectoryScope&) = delete;

  // False when the directory could not be entered; the previous one stays.
  bool Entered() const { return entered_; }

private:
  int previous_ = -1;
  bool entered_ = false;
};
