#pragma once

#include <QByteArray>
#include <QString>
#include <vector>

// Lines of a text the way playlist files and readme.txt are read: a line ends
// at CR LF, a lone CR or a lone LF (so LF CR is two line ends), a line end at
// the very end starts no further line, and the text stops at its first zero
// byte. Empty lines are kept; bytes are not decoded.
std::vector<QByteArray> SplitLines(const QByteArray& text);

// The whole of a regular file; throws MdkError "ファイル <path> は開けません" when
// it cannot be opened or read, or is anything but a regular file (a pipe, a
// device), which would block the caller or never end.
QByteArray ReadWholeFile(const QString& path);

// Like ReadWholeFile, but at most limit bytes; when the file is longer, the
// text ends after the last line end within them (or at limit when there is
// none).
QByteArray ReadFileLines(const QString& path, qint64 limit);
