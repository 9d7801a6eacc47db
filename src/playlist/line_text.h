#pragma once

#include <QByteArray>
#include <QString>
#include <vector>

// Lines of a text the way playlist files and readme.txt are read: a line ends
// at CR LF, a lone CR or a lone LF (so LF CR is two line ends), a line end at
// the very end starts no further line, and the text stops at its first zero
// byte. Empty lines are kept; bytes are not decoded.
std::vector<QByteArray> SplitLines(const QByteArray& text);

// The whole file in one read; throws MdkError "ファイル <path> は開けません" when it
// cannot be opened or read.
QByteArray ReadWholeFile(const QString& path);
