#include "Mdkmain.h"

void TForm1::ReadHandOffFiles() {}
