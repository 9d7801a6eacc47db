#include "rules/dropped_entries.h"

#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QStringList>
#include <algorithm>

namespace {

// The extensions of the open dialog's sound and video filters.
const QStringList kMediaPatterns{QStringLiteral("*.wav"), QStringLiteral("*.mid"),
                                 QStringLiteral("*.mp3"), QStringLiteral("*.wma"),
                                 QStringLiteral("*.avi"), QStringLiteral("*.wmv")};

} // namespace

bool OffersLocalFiles(const QList<QUrl>& urls) {
  return std::any_of(urls.begin(), urls.end(), [](const QUrl& url) { return url.isLocalFile(); });
}

std::vector<QByteArray> DroppedEntries(const QList<QUrl>& urls) {
  std::vector<QByteArray> entries;
  for (const QUrl& url : urls) {
    if (!url.isLocalFile())
      continue;
    const QString path = url.toLocalFile();
    if (!QFileInfo(path).isDir()) {
      entries.push_back(QFile::encodeName(path));
      continue;
    }
    // Name filters match without regard to case; links to folders are not
    // followed, so a link back up cannot loop.
    QDirIterator found(path, kMediaPatterns, QDir::Files, QDirIterator::Subdirectories);
    QStringList media;
    while (found.hasNext())
      media << found.next();
    media.sort();
    for (const QString& file : media)
      entries.push_back(QFile::encodeName(file));
  }
  return entries;
}
