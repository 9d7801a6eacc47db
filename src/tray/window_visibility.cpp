#include "Help.h"
#include "Mdkmain.h"
#include "platform/tray_shell.h"

#include <QMenu>

void TForm1::Openmainwindows1Click() {
  // A minimized window counts as visible: it is neither restored nor raised.
  if (!isVisible())
    show();
}

void TForm1::ninjaClick() {
  // Without a tray icon nothing could bring a hidden window back.
  if (tray_.Available())
    hide();
}

void TForm1::exit1Click() {
  hide();
  setWindowState(Qt::WindowNoState);
  close();
}

void TForm1::TrayContextRequest(QPoint screenPosition) {
  activateWindow();
  PopupMenu2->popup(screenPosition);
}

void TForm1::manual1Click() {
  if (!Form2)
    return;
  Form2->show();
  Form2->raise();
  Form2->activateWindow();
}
