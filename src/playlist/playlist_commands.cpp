#include "Mdkmain.h"

void TForm1::loadlist1Click() {}
void TForm1::savelist1Click() {}
