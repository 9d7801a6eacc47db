#include "Mdkmain.h"

#include "platform/current_directory_scope.h"
#include "rules/entry_rules.h"

#include <QFile>
#include <optional>

void TForm1::ReadHandOffFiles() {
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
  handOffInbox_.Collect(QFile::encodeName(programDirectory_), take);
  for (const QString& directory : handOffDirectories_)
    handOffInbox_.Collect(QFile::encodeName(directory), take);
}

void TForm1::TakeHandedFile(const QByteArray& entry) {
  if (!IsAcceptableEntry(entry))
    return;
  StopPlayback();
  list_.Add(entry);
  list_.SetItemIndex(list_.Count() - 1);
  PlayStep(0);
}
