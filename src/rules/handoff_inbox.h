#pragma once

#include <QByteArray>
#include <chrono>
#include <ctime>
#include <functional>
#include <map>
#include <set>
#include <tuple>

// Takes hand-off files out of directories: each file is read, deleted and
// handed on once. A file that cannot be deleted is remembered for the run so
// that it is not handed on again at every scan. Part files that launches left
// behind are cleared from each directory at its first scan and, while scans
// go on, about once a minute after. A directory that has not changed since a
// scan found it settled is not listed again.
class HandOffInbox {
public:
  // Calls take with the text of each hand-off file in directory, in listing
  // order, after the file was read and deleted. An exception from take ends
  // the scan; the files not reached yet stay for the next one.
  void Collect(const QByteArray& directory, const std::function<void(const QByteArray&)>& take);
  // Whether the last scan of directory found it settled: until the directory
  // changes, scanning it again takes nothing.
  bool Settled(const QByteArray& directory) const { return quietSince_.contains(directory); }

private:
  // Device, inode, modification time (s, ns) and size: a rewritten file is new.
  using FileKey = std::tuple<dev_t, ino_t, time_t, long, off_t>;
  std::set<FileKey> undeletable_;
  std::map<QByteArray, std::chrono::steady_clock::time_point> lastPartSweep_;
  // Directories whose last listing found them settled, with their time then;
  // the status poll scans every second, and a large directory (the program's,
  // /usr/bin when installed) is listed again only once it has changed.
  std::map<QByteArray, timespec> quietSince_;
};
