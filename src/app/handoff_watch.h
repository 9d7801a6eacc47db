#pragma once

#include <QFileSystemWatcher>
#include <QObject>
#include <QStringList>
#include <functional>

// Runs the hand-off reader as soon as a file appears in one of the watched
// directories, instead of waiting for the next status tick. The first file of
// a launch is read at once; files that arrive while a run is under way are
// taken by one more run right after it, so a burst is collected as it comes
// and never by two runs at once.
class HandOffWatch : public QObject {
  Q_OBJECT
public:
  // Every run of read goes through the error box guard.
  HandOffWatch(const QStringList& directories, std::function<void()> read,
               QObject* parent = nullptr);
  // Whether changes in directory reach the reader: a directory that could not
  // be watched, or that went away, is read only by the status poll.
  bool Watches(const QString& directory) const;

private:
  void Read();

  QFileSystemWatcher watcher_;
  std::function<void()> read_;
  bool reading_ = false;
  bool changedWhileReading_ = false;
};
