#pragma once

#include <QFileSystemWatcher>
#include <QObject>
#include <QStringList>
#include <QTimer>
#include <functional>

// Runs the hand-off reader soon after a file appears in one of the watched
// directories, instead of waiting for the next status tick. Changes that
// arrive together (a launch's several files) make one run.
class HandOffWatch : public QObject {
  Q_OBJECT
public:
  static constexpr int kCoalesceMs = 25;

  // Every run of read goes through the error box guard.
  HandOffWatch(const QStringList& directories, std::function<void()> read,
               QObject* parent = nullptr);

private:
  QFileSystemWatcher watcher_;
  QTimer coalesce_;
  std::function<void()> read_;
};
