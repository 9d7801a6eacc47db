#include "Mdkmain.h"

int TForm1::CountPlayable() const {
  return ListBox1->CountedItems();
}
