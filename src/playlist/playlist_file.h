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

// Throws MdkError "ファイル <path> は開けません".
std::vector<QByteArray> ReadPlaylistFile(const QString& path);
// Replaces the file in one step, so a failure leaves any old file as it was;
// throws MdkError "ファイル <path> を作成できません".
void WritePlaylistFile(const QString& path, const std::vector<QByteArray>& entries);
