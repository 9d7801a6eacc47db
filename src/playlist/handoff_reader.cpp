#include "Mdkmain.h"

#include "platform/current_directory_scope.h"
#include "rules/entry_rules.h"

#include <QFile>
#include <optional>

void TForm1::SetHandOffWatched(std::function<bool(const QString& directory)> watched) {
  handOffWatched_ = std::move(watched);
}

void TForm1::ReadHandOffFiles() {
  // Read outside the poll (by the watch): a directory that has just changed
  // is settled only for a later scan, which is the poll's.
  WakePoll();
  CollectHandOffFiles();
}

bool TForm1::CollectHandOffFiles() {
  // The plays run in the program's directory, so that a relative name handed
  // over resolves against it; the scope restores the caller's on every road.
  std::optional<CurrentDirectoryScope> inProgramDirectory;
  const auto take = [this, &inProgramDirectory](const QByteArray& text) {
    if (!IsAcceptableEntry(text))
      return;
    if (!inProgramDirectory)
      inProgramDirectory.emplace(QFile::encodeName(programDirectory_).toStdString());
    TakeHandedFile(text);
  };
  bool settled = true;
  for (const QString& directory : QStringList{programDirectory_} + handOffDirectories_) {
    const QByteArray path = QFile::encodeName(directory);
    handOffInbox_.Collect(path, take);
    settled =
        settled && handOffInbox_.Settled(path) && handOffWatched_ && handOffWatched_(directory);
  }
  return settled;
}

void TForm1::TakeHandedFile(const QByteArray& entry) {
  if (!IsAcceptableEntry(entry))
    return;
  StopPlayback();
  list_.Add(entry);
  list_.SetItemIndex(list_.Count() - 1);
  PlayStep(0);
}
