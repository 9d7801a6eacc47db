#include "Mdkmain.h"

#include "rules/entry_rules.h"

#include <algorithm>

void TForm1::SetRandomPlay(bool on) {
  random1->setChecked(on);
  TB_Random->setChecked(on);
}

void TForm1::SetContinuousPlay(bool on) {
  autorepeat1->setChecked(on);
  TB_AutoPlay->setChecked(on);
}

void TForm1::DeleteEveryEntry(const QByteArray& text) {
  for (int i = 0; i < ListBox1->Count();) {
    if (ListBox1->Item(i) == text)
      ListBox1->Delete(i);
    else
      ++i;
  }
}

void TForm1::random1Click() {
  const bool on = !random1->isChecked();
  SetRandomPlay(on);
  if (!on) {
    DeleteEveryEntry(kRandomMarker);
    return;
  }
  ListBox1->Insert(0, kRandomMarker);
  std::fill(PlayedFlags.begin(), PlayedFlags.begin() + ShuffleSize, 0);
  draws_.ForgetFlagged();
}

void TForm1::automaticplay1Click() {
  const bool on = !autorepeat1->isChecked();
  SetContinuousPlay(on);
  if (on) {
    // Below the random marker; a list emptied by hand has no index 1 to take.
    ListBox1->Insert(std::min(random1->isChecked() ? 1 : 0, ListBox1->Count()), kAutoplayMarker);
  } else {
    DeleteEveryEntry(kAutoplayMarker);
  }
  startplay1Click();
}
