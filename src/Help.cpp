#include "Help.h"

#include "Mdkmain.h"

TForm2::TForm2(QWidget* parent) : QWidget(parent) {
  setWindowTitle(QStringLiteral("Mellowdeck -  manual"));
}

void TForm1::manual1Click() {
  if (!Form2)
    return;
  Form2->show();
  Form2->raise();
  Form2->activateWindow();
}
