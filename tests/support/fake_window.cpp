#include "support/fake_window.h"

#include <QCoreApplication>
#include <QTimer>

FakeWindow::FakeWindow(const QStringList& handOffDirectories)
    : form({player, tray, dialogs, random, programDir.path(), handOffDirectories}) {
  form.Timer1->stop();
}

void FakeWindow::Show() {
  form.show();
  QCoreApplication::processEvents();
}
