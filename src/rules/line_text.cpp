#include "rules/line_text.h"

#include "platform/mdk_error.h"

#include <QFile>
#include <fcntl.h>
#include <limits>
#include <sys/stat.h>
#include <unistd.h>

std::vector<QByteArray> SplitLines(const QByteArray& text) {
  const qsizetype zero = text.indexOf('\0');
  const qsizetype end = zero < 0 ? text.size() : zero;
  const char* bytes = text.constData();
  std::vector<QByteArray> lines;
  qsizetype start = 0;
  for (qsizetype i = 0; i < end; ++i) {
    if (bytes[i] != '\r' && bytes[i] != '\n')
      continue;
    lines.emplace_back(bytes + start, i - start);
    if (bytes[i] == '\r' && i + 1 < end && bytes[i + 1] == '\n')
      ++i;
    start = i + 1;
  }
  if (start < end)
    lines.emplace_back(bytes + start, end - start);
  return lines;
}

namespace {

// Up to limit + 1 bytes, so that the caller sees whether the file goes on.
QByteArray ReadRegularFile(const QString& path, qint64 limit) {
  const MdkError cannotOpen(
      QStringLiteral("ファイル %1 は開けません").arg(path).toLocal8Bit().toStdString());
  const QByteArray name = QFile::encodeName(path);
  // Looked at before opening, since merely opening some devices acts on them.
  struct stat status {};
  if (stat(name.constData(), &status) != 0 || !S_ISREG(status.st_mode))
    throw cannotOpen;
  // Non-blocking and checked again on the descriptor: the name may have been
  // replaced by a pipe in between.
  const int fd = open(name.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0)
    throw cannotOpen;
  if (fstat(fd, &status) != 0 || !S_ISREG(status.st_mode)) {
    close(fd);
    throw cannotOpen;
  }
  QFile file;
  if (!file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
    close(fd);
    throw cannotOpen;
  }
  QByteArray text =
      limit == std::numeric_limits<qint64>::max() ? file.readAll() : file.read(limit + 1);
  if (file.error() != QFileDevice::NoError)
    throw cannotOpen;
  return text;
}

} // namespace

QByteArray ReadWholeFile(const QString& path) {
  return ReadRegularFile(path, std::numeric_limits<qint64>::max());
}

QByteArray ReadFileLines(const QString& path, qint64 limit) {
  QByteArray text = ReadRegularFile(path, limit);
  if (text.size() <= limit)
    return text;
  text.truncate(limit);
  const qsizetype lineEnd = std::max(text.lastIndexOf('\n'), text.lastIndexOf('\r'));
  if (lineEnd >= 0)
    text.truncate(lineEnd + 1);
  return text;
}
