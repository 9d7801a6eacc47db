#include "playlist/playlist_file.h"

#include "platform/mdk_error.h"
#include "playlist/entry_rules.h"
#include "playlist/line_text.h"

#include <QSaveFile>
#include <algorithm>

std::vector<QByteArray> ParsePlaylist(const QByteArray& text) {
  std::vector<QByteArray> entries = SplitLines(text);
  std::erase_if(entries, [](const QByteArray& entry) { return !IsAcceptableEntry(entry); });
  return entries;
}

QByteArray FormatPlaylist(const std::vector<QByteArray>& entries) {
  qsizetype size = 0;
  for (const QByteArray& entry : entries)
    size += entry.size() + 2;
  QByteArray text;
  text.reserve(size);
  for (const QByteArray& entry : entries)
    text.append(entry).append("\r\n", 2);
  return text;
}

std::vector<QByteArray> ReadPlaylistFile(const QString& path) {
  return ParsePlaylist(ReadWholeFile(path));
}

void WritePlaylistFile(const QString& path, const std::vector<QByteArray>& entries) {
  const QByteArray text = FormatPlaylist(entries);
  // QSaveFile refuses a directory and an existing file that is not writable.
  // Its commit would miss a failure of the last buffered write (a full disk)
  // and put the cut file in place, so the flush is checked first.
  QSaveFile file(path);
  if (!file.open(QIODevice::WriteOnly) || file.write(text) != text.size() || !file.flush() ||
      !file.commit())
    throw MdkError(
        QStringLiteral("ファイル %1 を作成できません").arg(path).toLocal8Bit().toStdString());
}
