#pragma once

#include <QByteArray>
#include <QString>
#include <vector>

// Playlist files: one entry per line, bytes unaltered, no header.

// The entries of a playlist text; empty lines are left out, since an empty
// entry never enters the list.
std::vector<QByteArray> ParsePlaylist(const QByteArray& text);
// Every entry followed by CR LF, the last one too; no entries, no bytes.
QByteArray FormatPlaylist(const std::vector<QByteArray>& entries);

// Throws MdkError "ファイル <path> は開けません", also for a path that is not a
// regular file.
std::vector<QByteArray> ReadPlaylistFile(const QString& path);
// Replaces the file in one step through a new file beside it, so a failure
// leaves any old file as it was. Where the folder takes no new file, an
// existing file that may be written is overwritten in place, with the new size
// reserved first so that a full disk or a size limit fails before the old text
// is touched. Only regular files are written: a pipe or a device is refused.
// Throws MdkError "ファイル <path> を作成できません".
void WritePlaylistFile(const QString& path, const std::vector<QByteArray>& entries);
