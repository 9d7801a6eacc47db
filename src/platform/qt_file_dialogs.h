#pragma once

#include "platform/file_dialogs.h"

class QWidget;

// The file dialogs on QFileDialog.
class QtFileDialogs : public FileDialogs {
public:
  explicit QtFileDialogs(QWidget* parent = nullptr) : parent_(parent) {}
  void SetParent(QWidget* parent) { parent_ = parent; }

  std::optional<QStringList> OpenFiles(FileDialogSetup& setup) override;
  std::optional<QString> SaveFile(FileDialogSetup& setup) override;

private:
  QWidget* parent_;
};
