#include "playlist/line_text.h"

#include "platform/mdk_error.h"

#include <QFile>

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

QByteArray ReadWholeFile(const QString& path) {
  const MdkError cannotOpen(
      QStringLiteral("ファイル %1 は開けません").arg(path).toLocal8Bit().toStdString());
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly))
    throw cannotOpen;
  QByteArray text = file.readAll();
  if (file.error() != QFileDevice::NoError)
    throw cannotOpen;
  return text;
}
