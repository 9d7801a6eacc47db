#include "Mdkmain.h"

#include "platform/media_player.h"

#include <QAbstractButton>

void TForm1::SetCommandEnabled(QAction* item, QAbstractButton* button, bool enabled) {
  item->setEnabled(enabled);
  button->setEnabled(enabled);
}

void TForm1::Timer1Timer() {
  const int playable = CountPlayable();
  const bool selected = ListBox1->ItemIndex() >= 0;

  if (playable == 0) {
    for (auto [item, button] : {std::pair{startplay1, TB_Start},
                                {stopplay1, TB_Stop},
                                {pauseplay1, TB_Pause},
                                {nextfile1, TB_Next}})
      SetCommandEnabled(item, button, false);
  } else {
    if (selected)
      for (auto [item, button] :
           {std::pair{startplay1, TB_Start}, {stopplay1, TB_Stop}, {pauseplay1, TB_Pause}})
        SetCommandEnabled(item, button, true);
    SetCommandEnabled(nextfile1, TB_Next, playable >= 2);
    SetCommandEnabled(previousfile1, TB_Prev, playable >= 2);
    SetCommandEnabled(savelist1, TB_Save, true);
  }

  switch (MediaPlayer1->Mode()) {
  case mpStopped:
    SetCommandEnabled(startplay1, TB_Start, playable != 0);
    SetCommandEnabled(stopplay1, TB_Stop, false);
    SetCommandEnabled(pauseplay1, TB_Pause, false);
    SetTrayState(0);
    ProgressBar1->setValue(0);
    if (autorepeat1->isChecked())
      PlayStep(+1);
    break;
  case mpPlaying:
    pauseplay1->setChecked(false);
    SetCommandEnabled(startplay1, TB_Start, false);
    SetCommandEnabled(stopplay1, TB_Stop, true);
    SetCommandEnabled(pauseplay1, TB_Pause, true);
    if (MediaPlayer1->Length() != 0)
      ProgressBar1->setValue(
          int(MediaPlayer1->Position() * std::int64_t{100} / MediaPlayer1->Length()));
    break;
  case mpPaused:
    SetCommandEnabled(startplay1, TB_Start, true);
    SetCommandEnabled(stopplay1, TB_Stop, true);
    SetCommandEnabled(pauseplay1, TB_Pause, false);
    break;
  default:
    break;
  }

  ReadHandOffFiles();
}
