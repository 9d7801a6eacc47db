#include "app/handoff_watch.h"

#include "platform/error_box.h"

#include <QFileInfo>

HandOffWatch::HandOffWatch(const QStringList& directories, std::function<void()> read,
                           QObject* parent)
    : QObject(parent), read_(std::move(read)) {
  coalesce_.setSingleShot(true);
  coalesce_.setInterval(kCoalesceMs);
  connect(&coalesce_, &QTimer::timeout, this, [this] { Guarded(read_); });
  // A run is not pushed back by later changes, so a steady stream of files
  // cannot starve the reader.
  connect(&watcher_, &QFileSystemWatcher::directoryChanged, this, [this] {
    if (!coalesce_.isActive())
      coalesce_.start();
  });
  for (const QString& directory : directories)
    if (QFileInfo(directory).isDir())
      watcher_.addPath(directory);
}
