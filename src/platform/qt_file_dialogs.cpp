#include "platform/qt_file_dialogs.h"

#include <QAbstractItemView>
#include <QDir>
#include <QFileDialog>
#include <memory>

namespace {

// A dialog for any number of files that also takes typed names of files that
// do not exist: they go into the list like any other and fail when played.
// QFileDialog's ExistingFiles mode refuses such names, so this is its AnyFile
// mode with several rows selectable; only its own widgets can do that.
class ManyFilesDialog : public QFileDialog {
public:
  explicit ManyFilesDialog(QWidget* parent) : QFileDialog(parent) {
    setOption(DontUseNativeDialog);
    setFileMode(AnyFile);
    for (const char* name : {"listView", "treeView"})
      if (auto* view = findChild<QAbstractItemView*>(name))
        view->setSelectionMode(QAbstractItemView::ExtendedSelection);
  }

protected:
  // AnyFile mode would keep only the first of several names.
  void accept() override {
    if (selectedFiles().size() > 1)
      QDialog::accept();
    else
      QFileDialog::accept();
  }
};

QStringList RunDialog(QWidget* parent, FileDialogSetup& setup, QFileDialog::AcceptMode mode) {
  const bool many = mode == QFileDialog::AcceptOpen && setup.multiSelect;
  const std::unique_ptr<QFileDialog> dialog =
      many ? std::make_unique<ManyFilesDialog>(parent) : std::make_unique<QFileDialog>(parent);
  dialog->setAcceptMode(mode);
  dialog->setNameFilter(setup.filter);
  dialog->setDefaultSuffix(setup.defaultSuffix);
  if (!many)
    dialog->setFileMode(QFileDialog::AnyFile);
  dialog->setOption(QFileDialog::DontConfirmOverwrite, !setup.confirmOverwrite);
  if (!setup.initialDirectory.isEmpty())
    dialog->setDirectory(setup.initialDirectory);
  if (!setup.lastFileName.isEmpty())
    dialog->selectFile(setup.lastFileName);
  // The dialog never changes the process's current directory.
  const QString current = QDir::currentPath();
  const bool accepted = dialog->exec() == QDialog::Accepted;
  QDir::setCurrent(current);
  if (!accepted)
    return {};
  const QStringList chosen = dialog->selectedFiles();
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
