#include "platform/qt_file_dialogs.h"

#include <QDir>
#include <QFileDialog>

namespace {

QStringList RunDialog(QWidget* parent, FileDialogSetup& setup, QFileDialog::AcceptMode mode) {
  QFileDialog dialog(parent);
  dialog.setAcceptMode(mode);
  dialog.setNameFilter(setup.filter);
  dialog.setDefaultSuffix(setup.defaultSuffix);
  if (mode == QFileDialog::AcceptOpen)
    dialog.setFileMode(setup.multiSelect ? QFileDialog::ExistingFiles : QFileDialog::AnyFile);
  dialog.setOption(QFileDialog::DontConfirmOverwrite, !setup.confirmOverwrite);
  if (!setup.initialDirectory.isEmpty())
    dialog.setDirectory(setup.initialDirectory);
  if (!setup.lastFileName.isEmpty())
    dialog.selectFile(setup.lastFileName);
  // The dialog never changes the process's current directory.
  const QString current = QDir::currentPath();
  const bool accepted = dialog.exec() == QDialog::Accepted;
  QDir::setCurrent(current);
  if (!accepted)
    return {};
  const QStringList chosen = dialog.selectedFiles();
  if (!chosen.isEmpty())
    setup.lastFileName = chosen.first();
  return chosen;
}

} // namespace

std::optional<QStringList> QtFileDialogs::OpenFiles(FileDialogSetup& setup) {
  QStringList chosen = RunDialog(parent_, setup, QFileDialog::AcceptOpen);
  if (chosen.isEmpty())
    return std::nullopt;
  return chosen;
}

std::optional<QString> QtFileDialogs::SaveFile(FileDialogSetup& setup) {
  const QStringList chosen = RunDialog(parent_, setup, QFileDialog::AcceptSave);
  if (chosen.isEmpty())
    return std::nullopt;
  return chosen.first();
}
