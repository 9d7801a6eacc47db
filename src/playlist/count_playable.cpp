#include "Mdkmain.h"

#include "playlist/entry_rules.h"

int TForm1::CountPlayable() const {
  return ::CountPlayable(ListBox1->Items());
}
