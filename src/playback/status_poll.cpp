#include "Mdkmain.h"

#include "platform/media_player.h"

#include <QAbstractButton>

void TForm1::SetCommandEnabled(QAction* item, QAbstractButton* button, bool enabled) {
  item->setEnabled(enabled);
  button->setEnabled(enabled);
}

void TForm1::Timer1Timer() {
  const int playable = CountPlayable();
  const bool selected = list_.ItemIndex() >= 0;

  if (playable == 0) {
    for (auto [item, button] : {std::pair{ui_.startplay1, ui_.TB_Start},
                                {ui_.stopplay1, ui_.TB_Stop},
                                {ui_.pauseplay1, ui_.TB_Pause},
                                {ui_.nextfile1, ui_.TB_Next}})
      SetCommandEnabled(item, button, false);
  } else {
    if (selected)
      for (auto [item, button] : {std::pair{ui_.startplay1, ui_.TB_Start},
                                  {ui_.stopplay1, ui_.TB_Stop},
                                  {ui_.pauseplay1, ui_.TB_Pause}})
        SetCommandEnabled(item, button, true);
    SetCommandEnabled(ui_.nextfile1, ui_.TB_Next, playable >= 2);
    SetCommandEnabled(ui_.previousfile1, ui_.TB_Prev, playable >= 2);
    SetCommandEnabled(ui_.savelist1, ui_.TB_Save, true);
  }

  switch (MediaPlayer1->Mode()) {
  case mpStopped:
    SetCommandEnabled(ui_.startplay1, ui_.TB_Start, playable != 0);
    SetCommandEnabled(ui_.stopplay1, ui_.TB_Stop, false);
    SetCommandEnabled(ui_.pauseplay1, ui_.TB_Pause, false);
    state_.SetTrayState(0);
    ui_.ProgressBar1->setValue(0);
    if (state_.ContinuousPlay())
      PlayStep(+1);
    break;
  case mpPlaying:
    ui_.pauseplay1->setChecked(false);
    SetCommandEnabled(ui_.startplay1, ui_.TB_Start, false);
    SetCommandEnabled(ui_.stopplay1, ui_.TB_Stop, true);
    SetCommandEnabled(ui_.pauseplay1, ui_.TB_Pause, true);
    if (MediaPlayer1->Length() != 0)
      ui_.ProgressBar1->setValue(
          int(MediaPlayer1->Position() * std::int64_t{100} / MediaPlayer1->Length()));
    break;
  case mpPaused:
    SetCommandEnabled(ui_.startplay1, ui_.TB_Start, true);
    SetCommandEnabled(ui_.stopplay1, ui_.TB_Stop, true);
    SetCommandEnabled(ui_.pauseplay1, ui_.TB_Pause, false);
    break;
  default:
    break;
  }

  ReadHandOffFiles();
}
