#include "Mdkmain.h"

#include "platform/media_player.h"

void TForm1::StopPlayback() {
  if (MediaPlayer1->Mode() == mpPlaying || MediaPlayer1->Mode() == mpPaused) {
    state_.SetTrayState(0);
    MediaPlayer1->Stop();
  }
}
