#include "app/handoff_watch.h"

#include "platform/error_box.h"

#include <QFileInfo>

HandOffWatch::HandOffWatch(const QStringList& directories, std::function<void()> read,
                           QObject* parent)
    : QObject(parent), read_(std::move(read)) {
  connect(&watcher_, &QFileSystemWatcher::directoryChanged, this, &HandOffWatch::Read);
  for (const QString& directory : directories)
    if (QFileInfo(directory).isDir())
      watcher_.addPath(directory);
}

bool HandOffWatch::Watches(const QString& directory) const {
  return watcher_.directories().contains(directory);
}

void HandOffWatch::Read() {
  // A run can wait in an error box, whose loop delivers further changes: they
  // wait for the run in hand instead of starting one inside it.
  if (reading_) {
    changedWhileReading_ = true;
    return;
  }
  reading_ = true;
  do {
    changedWhileReading_ = false;
    Guarded(read_);
  } while (changedWhileReading_);
  reading_ = false;
}
