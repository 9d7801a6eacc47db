#include "Mdkmain.h"

#include "platform/media_player.h"

#include <QAbstractButton>
#include <QTimer>
#include <utility>

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

  const int mode = MediaPlayer1->Mode();
  switch (mode) {
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

  const bool handOffsSettled = CollectHandOffFiles();

  // Every wakeup of an idle program costs its battery more than the tick
  // itself, so the poll stops once the next tick could only repeat this one:
  // the mode holds until the program changes it, and every hand-off directory
  // is watched and settled. WakePoll starts it again on anything that can
  // change that. It stops only after a whole calm interval, so that what a
  // command set going (a report the media layer had on its way) has landed.
  // Part files of launches that died wait for the next wake to be swept: they
  // hold nothing that was handed over.
  const bool modeHolds =
      mode == mpNotReady || mode == mpPaused || (mode == mpStopped && !state_.ContinuousPlay());
  if (!std::exchange(pollStirred_, false) && modeHolds && handOffsSettled)
    Timer1->stop();
}

void TForm1::WakePoll() {
  if (destroyed_)
    return;
  pollStirred_ = true;
  if (pollsByItself_ && !Timer1->isActive())
    Timer1->start();
}
