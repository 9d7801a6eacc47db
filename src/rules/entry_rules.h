#pragma once

#include <QByteArray>
#include <vector>

// The forms of a playlist entry, told by its first byte: " path" (blank
// entry), "path" (bare entry), "*..." (star entry), the two mode markers, and
// "<...>" (unplayable, chiefly a failed entry). Every function here reads
// bytes only; nothing is trimmed or re-encoded.

inline const QByteArray kRandomMarker = QByteArrayLiteral("<random>");
inline const QByteArray kAutoplayMarker = QByteArrayLiteral("<autoplay>");

// An empty entry has no first byte to tell its form, so it never enters the
// list: the command line, hand-off files and loaded files leave it out.
bool IsAcceptableEntry(const QByteArray& entry);

bool IsUnplayable(const QByteArray& entry);
bool IsModeMarker(const QByteArray& entry);
// PlayStep drops one leading blank or '*'; the list click only a blank.
QByteArray FileNameForPlayStep(const QByteArray& entry);
QByteArray FileNameForListClick(const QByteArray& entry);
// "<" + bytes 2..201 + ">": the first byte is dropped whatever it is.
QByteArray FailedForm(const QByteArray& entry);
// " " + bytes 2..201 of a star entry, at the start of a new shuffle cycle.
QByteArray StarReset(const QByteArray& entry);
// A loaded line gets a leading blank unless it starts with a blank or "<".
QByteArray LoadForm(const QByteArray& entry);
// Bytes 2..101: what "copy filename" puts on the clipboard.
QByteArray CopyText(const QByteArray& entry);
// Every entry but the exact mode markers.
int CountPlayable(const std::vector<QByteArray>& entries);

// The file-name part of a path (after the last '/'), at most maxBytes long.
QByteArray FileNamePart(const QByteArray& fileName, int maxBytes);
// The first maxBytes bytes, backed off so no multi-byte character is split.
QByteArray CutToWholeCharacters(const QByteArray& text, int maxBytes);
