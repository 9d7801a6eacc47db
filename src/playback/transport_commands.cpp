#include "Mdkmain.h"

#include "platform/mdk_error.h"
#include "platform/media_player.h"
#include "rules/entry_rules.h"

void TForm1::startplay1Click() {
  if (MediaPlayer1->Mode() == mpPaused) {
    state_.SetTrayState(1);
    MediaPlayer1->Play();
    return;
  }
  PlayStep(+1);
}

void TForm1::stopplay1Click() {
  StopPlayback();
  // The <autoplay> marker stays: only its toggle takes markers out.
  state_.SetContinuousPlay(false);
}

void TForm1::pauseplay1Click() {
  if (MediaPlayer1->Mode() != mpPlaying)
    return;
  MediaPlayer1->Pause();
  ui_.pauseplay1->setChecked(true);
  state_.SetTrayState(2);
}

void TForm1::nextfile1Click() {
  StopPlayback();
  PlayStep(+1);
}

void TForm1::previousfile1Click() {
  StopPlayback();
  PlayStep(-1);
}

void TForm1::ListBox1DblClick() {
  StopPlayback();
  PlayStep(0);
}

void TForm1::ListBox1Click() {
  const int mode = MediaPlayer1->Mode();
  if (mode >= mpPlaying && mode <= mpOpen)
    return;
  const int index = list_.ItemIndex();
  if (index < 0)
    return;
  const QByteArray entry = list_.Item(index);
  if (IsUnplayable(entry)) {
    list_.SetItemIndex(-1);
    return;
  }
  MediaPlayer1->SetFileName(FileNameForListClick(entry).toStdString());
  try {
    MediaPlayer1->Open();
  } catch (const MdkError&) {
    // Marked, not reported: the rewritten entry is the report.
    const int selected = list_.ItemIndex();
    if (selected >= 0)
      list_.SetItem(selected, FailedForm(list_.Item(selected)));
  }
}

void TForm1::FormKeyUp(int key) {
  if (key == Qt::Key_Escape)
    MediaPlayer1->Stop();
}
