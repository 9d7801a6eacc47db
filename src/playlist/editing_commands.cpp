#include "Mdkmain.h"

void TForm1::appendmusicfile1Click() {}
void TForm1::removemusicfile1Click() {}
void TForm1::removeall1Click() {}
void TForm1::PopupMenu1Popup() {}
void TForm1::copyto1Click() {}
