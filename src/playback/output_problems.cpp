#include "Mdkmain.h"

#include "platform/error_box.h"
#include "platform/media_player.h"

#include <QTimer>

namespace {

// Shown from the event loop once the step that met the problem has ended: a
// modal box in the middle of a step would let the poll's ticks run into it.
void ShowLater(QObject* context, const QString& message) {
  QTimer::singleShot(0, context, [message] { ShowErrorBox(message); });
}

} // namespace

// Every file would fail the same way while the output is broken, so the
// user hears of it once, not at every file that continuous play, a hand-off
// or a draw tries next.
void TForm1::ReportOutputFailure(const QString& message) {
  if (!std::exchange(outputFailing_, true))
    ShowLater(this, message);
}

void TForm1::ReportOutputNotice() {
  outputFailing_ = false;
  if (const std::string notice = MediaPlayer1->TakeOutputNotice(); !notice.empty())
    ShowLater(this, QString::fromLocal8Bit(notice));
}
