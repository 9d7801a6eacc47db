#pragma once

#include <QString>
#include <QStringList>
#include <optional>

// What a file dialog of the window is set up with; the window keeps one per
// dialog and the platform runs it.
struct FileDialogSetup {
  QString filter;           // Qt filter string, rows separated by ";;"
  QString defaultSuffix;    // without the dot; empty for none
  QString initialDirectory; // empty: wherever the dialog last was
  QString lastFileName;     // offered again as the starting name
  bool multiSelect = false;
  bool confirmOverwrite = false;
};

// Modal file dialogs behind a seam so that tests can answer them.
class FileDialogs {
public:
  virtual ~FileDialogs() = default;
  // Empty optional when the user cancelled.
  virtual std::optional<QStringList> OpenFiles(FileDialogSetup& setup) = 0;
  virtual std::optional<QString> SaveFile(FileDialogSetup& setup) = 0;
};
