#include "Mdkmain.h"

#include "platform/mdk_error.h"
#include "platform/media_player.h"
#include "rules/entry_rules.h"

void TForm1::startplay1Click() {
  if (MediaPlayer1->Mode() == mpPaused) {
    SetTrayState(1);
    MediaPlayer1->Play();
    return;
  }
  PlayStep(+1);
}

void TForm1::stopplay1Click() {
  StopPlayback();
  // The <autoplay> marker stays: only its toggle takes markers out.
  SetContinuousPlay(false);
}

void TForm1::pauseplay1Click() {
  if (MediaPlayer1->Mode() != mpPlaying)
    return;
  MediaPlayer1->Pause();
  pauseplay1->setChecked(true);
  SetTrayState(2);
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
  const int index = ListBox1->ItemIndex();
  if (index < 0)
    return;
  const QByteArray entry = ListBox1->Item(index);
  if (IsUnplayable(entry)) {
    ListBox1->SetItemIndex(-1);
    return;
  }
  MediaPlayer1->SetFileName(FileNameForListClick(entry).toStdString());
  try {
    MediaPlayer1->Open();
  } catch (const MdkError&) {
    // Marked, not reported: the rewritten entry is the report.
    const int selected = ListBox1->ItemIndex();
    if (selected >= 0)
      ListBox1->SetItem(selected, FailedForm(ListBox1->Item(selected)));
  }
}

void TForm1::FormKeyUp(int key) {
  if (key == Qt::Key_Escape)
    MediaPlayer1->Stop();
}
