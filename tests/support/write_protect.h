#pragma once

#include <QString>

// Makes a directory refuse new and removed entries while the object lives:
// immutable for root, whom permission bits do not stop, read-only for anyone
// else. Active() is false where neither works (then the test skips).
class DirectoryWriteProtection {
public:
  explicit DirectoryWriteProtection(const QString& directory);
  ~DirectoryWriteProtection();
  DirectoryWriteProtection(const DirectoryWriteProtection&) = delete;
  DirectoryWriteProtection& operator=(const DirectoryWriteProtection&) = delete;

  bool Active() const { return active_; }

private:
  void Undo();

  QByteArray directory_;
  bool immutable_ = false;
  bool readOnly_ = false;
  bool active_ = false;
};
