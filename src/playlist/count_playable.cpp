#include "Mdkmain.h"

int TForm1::CountPlayable() const {
  return list_.CountedItems();
}
