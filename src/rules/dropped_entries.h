#pragma once

#include <QByteArray>
#include <QList>
#include <QUrl>
#include <vector>

// Whether a drag carries anything the list can take: a local file or folder.
bool OffersLocalFiles(const QList<QUrl>& urls);

// The entries a drop brings, in its order: a file as it is, a folder as the
// media files under it (those the open dialog offers by their extension, in
// any case), sorted by path. Anything that is not a local file is left out.
std::vector<QByteArray> DroppedEntries(const QList<QUrl>& urls);
