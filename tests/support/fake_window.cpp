#include "support/fake_window.h"

#include <QCoreApplication>

FakeWindow::FakeWindow(const QStringList& handOffDirectories)
    : form({.player = player,
            .tray = tray,
            .dialogs = dialogs,
            .random = random,
            .programDirectory = programDir.path(),
            .handOffDirectories = handOffDirectories,
            .pollsByItself = false}) {}

void FakeWindow::Show() {
  form.show();
  QCoreApplication::processEvents();
}
