#include "rules/playlist_file.h"

#include "platform/mdk_error.h"
#include "rules/entry_rules.h"
#include "rules/line_text.h"

#include <QFile>
#include <QSaveFile>
#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

bool PwriteAll(int fd, const QByteArray& text) {
  qsizetype done = 0;
  while (done < text.size()) {
    const ssize_t written = pwrite(fd, text.constData() + done, size_t(text.size() - done), done);
    if (written < 0 && errno == EINTR)
      continue;
    if (written <= 0)
      return false;
    done += written;
  }
  return true;
}

// Whether the save may go ahead: nothing there yet, or a regular file. A
// pipe or a device would be replaced by a plain file, or block the writer.
bool IsWritableTarget(const QByteArray& name) {
  struct stat status {};
  if (stat(name.constData(), &status) == 0)
    return S_ISREG(status.st_mode);
  return errno == ENOENT;
}

enum class NewFileSave { Written, NotMade, Failed };

NewFileSave WriteThroughNewFile(const QString& path, const QByteArray& text) {
  QSaveFile file(path);
  if (!file.open(QIODevice::WriteOnly))
    return NewFileSave::NotMade;
  // Its commit would miss a failure of the last buffered write (a full disk)
  // and put the cut file in place, so the flush is checked first.
  return file.write(text) == text.size() && file.flush() && file.commit() ? NewFileSave::Written
                                                                          : NewFileSave::Failed;
}

// The old text is only overwritten once the space for the new one is held,
// so what can still cut it is an I/O error part-way, not a full disk or a
// file-size limit.
bool WriteInPlace(const QByteArray& name, const QByteArray& text) {
  const int fd = open(name.constData(), O_WRONLY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0)
    return false;
  struct stat status {};
  bool done = fstat(fd, &status) == 0 && S_ISREG(status.st_mode) &&
              (text.isEmpty() || posix_fallocate(fd, 0, text.size()) == 0) && PwriteAll(fd, text) &&
              ftruncate(fd, text.size()) == 0 && fdatasync(fd) == 0;
  if (close(fd) != 0)
    done = false;
  return done;
}

} // namespace

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
  const QByteArray name = QFile::encodeName(path);
  bool saved = false;
  if (IsWritableTarget(name)) {
    const NewFileSave save = WriteThroughNewFile(path, text);
    // No new file could be made beside it (a folder that takes none, or an
    // existing file that may not be written, which the in-place open refuses too).
    saved =
        save == NewFileSave::Written || (save == NewFileSave::NotMade && WriteInPlace(name, text));
  }
  if (!saved)
    throw MdkError(
        QStringLiteral("ファイル %1 を作成できません").arg(path).toLocal8Bit().toStdString());
}
