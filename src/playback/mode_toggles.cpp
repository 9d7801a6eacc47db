#include "Mdkmain.h"

#include "rules/entry_rules.h"

#include <algorithm>

void TForm1::DeleteEveryEntry(const QByteArray& text) {
  for (int i = 0; i < list_.Count();) {
    if (list_.Item(i) == text)
      list_.Delete(i);
    else
      ++i;
  }
}

void TForm1::random1Click() {
  const bool on = !state_.RandomPlay();
  state_.SetRandomPlay(on);
  if (!on) {
    DeleteEveryEntry(kRandomMarker);
    return;
  }
  list_.Insert(0, kRandomMarker);
  state_.ForgetPlayed();
}

void TForm1::automaticplay1Click() {
  const bool on = !state_.ContinuousPlay();
  state_.SetContinuousPlay(on);
  if (on) {
    // Below the random marker; a list emptied by hand has no index 1 to take.
    list_.Insert(std::min(state_.RandomPlay() ? 1 : 0, list_.Count()), kAutoplayMarker);
  } else {
    DeleteEveryEntry(kAutoplayMarker);
  }
  startplay1Click();
}
