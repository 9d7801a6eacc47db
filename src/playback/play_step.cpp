#include "Mdkmain.h"

#include "platform/mdk_error.h"
#include "platform/media_player.h"
#include "rules/entry_rules.h"

#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <vector>

namespace {

constexpr int kDrawTries = 5000;

} // namespace

// A step that is waiting for something it started to finish: a random draw
// waiting for the entry it tried, or a failed open waiting for its retry.
struct TForm1::PendingStep {
  bool isRetry = false;
  int fallbackPosition = 0;
  int triesLeft = kDrawTries;
  bool inFallback = false;
};

void TForm1::SelectInOrder(int step) {
  const int count = list_.Count();
  const int index = list_.ItemIndex();
  if (step < 0)
    list_.SetItemIndex(index > 0 ? index - 1 : count - 1);
  else if (step > 0)
    list_.SetItemIndex(index < count - 1 ? index + 1 : 0);
}

// Shows the counter, then opens and starts the selected entry. A failed open
// leaves the busy cursor up: it comes down only after the retry has run.
TForm1::StepOutcome TForm1::PlaySelected() {
  Playlist& list = list_;
  const int index = list.ItemIndex();
  const int position =
      index + 1 - (state_.RandomPlay() ? 1 : 0) - (state_.ContinuousPlay() ? 1 : 0);
  if (position > 0)
    ui_.StaticText1->setText(QStringLiteral("%1 / %2").arg(position).arg(CountPlayable()));
  if (index < 0)
    return StepOutcome::NothingSelected;
  const QByteArray entry = list.Item(index);
  if (IsUnplayable(entry))
    return StepOutcome::Refused;

  const QByteArray fileName = FileNameForPlayStep(entry);
  MediaPlayer1->SetFileName(fileName.toStdString());
  // Absolute now, while the directory the step runs in still resolves it.
  state_.SetCurrentMedia(QFileInfo(QFile::decodeName(fileName)).absoluteFilePath(),
                         FileNamePart(fileName, kCurrentTitleBytes));
  state_.SetTrayState(1);
  QGuiApplication::setOverrideCursor(Qt::BusyCursor);
  try {
    MediaPlayer1->Open();
    if (MediaPlayer1->Error() == 0)
      MediaPlayer1->Play();
  } catch (const MdkOutputError&) {
    // Not the file's fault: the entry stays as it is, and the step gives up.
    state_.SetTrayState(0);
    QGuiApplication::restoreOverrideCursor();
    throw;
  } catch (const MdkError&) {
    // The marked entry is the whole report: a failed open shows no message.
    list.SetItem(list.ItemIndex(), FailedForm(list.Item(list.ItemIndex())));
    state_.SetTrayState(0);
    return StepOutcome::Failed;
  } catch (...) {
    // A fault of the program's own goes on to the error box; the file is not
    // to blame, and the busy cursor must not outlive the step.
    state_.SetTrayState(0);
    QGuiApplication::restoreOverrideCursor();
    throw;
  }
  QGuiApplication::restoreOverrideCursor();
  return StepOutcome::Opened;
}

// The step's nested calls (a draw trying an entry, a failed open retrying the
// next one) run on an explicit stack, so thousands of failing entries in a
// row cannot exhaust the call stack; the order of opens, marks, tray changes
// and results is that of the nested calls. The list shows the step's marks
// and scrolls to its selection once, when the step ends, so that a run of
// failing entries costs time in proportion to its length.
bool TForm1::PlayStep(int step) {
  const Playlist::UpdateBatch batch(list_);
  std::vector<PendingStep> pending;
  // Each retry waiting on the stack holds up a busy cursor of its own.
  const auto restoreRetryCursors = [&pending] {
    for (const PendingStep& waiting : pending)
      if (waiting.isRetry)
        QGuiApplication::restoreOverrideCursor();
  };
  try {
    return PlayStepFrom(step, pending);
  } catch (const MdkOutputError& error) {
    // Every file would fail the same way: no retry and no further draw.
    restoreRetryCursors();
    ReportOutputFailure(QString::fromLocal8Bit(error.what()));
    return false;
  } catch (...) {
    restoreRetryCursors();
    throw;
  }
}

bool TForm1::PlayStepFrom(int step, std::vector<PendingStep>& pending) {
  bool result = false;
  bool haveResult = false;
  bool startStep = true;
  int nextStep = step;

  for (;;) {
    if (startStep) {
      startStep = false;
      if (nextStep > 0 && state_.RandomPlay()) {
        const int first = state_.BeginRandomStep();
        pending.push_back({.fallbackPosition = first});
        haveResult = false;
      } else {
        SelectInOrder(nextStep);
        const StepOutcome outcome = PlaySelected();
        if (outcome == StepOutcome::Opened)
          ReportOutputNotice();
        if (outcome == StepOutcome::Failed && state_.ContinuousPlay()) {
          pending.push_back({.isRetry = true});
          nextStep = 1;
          startStep = true;
          continue;
        }
        if (outcome == StepOutcome::Failed)
          QGuiApplication::restoreOverrideCursor();
        result = outcome == StepOutcome::Opened || outcome == StepOutcome::NothingSelected;
        haveResult = true;
      }
    }

    if (pending.empty())
      return result;
    PendingStep& top = pending.back();
    if (top.isRetry) {
      // Whatever the retry gave, the step whose open failed ends with false.
      QGuiApplication::restoreOverrideCursor();
      pending.pop_back();
      result = false;
      haveResult = true;
      continue;
    }
    if (haveResult) {
      haveResult = false;
      if (top.inFallback || result) {
        pending.pop_back();
        haveResult = true;
        continue;
      }
    }

    if (!state_.DrawPlayable(top.triesLeft)) {
      top.inFallback = true;
      state_.FallBackTo(top.fallbackPosition);
    }
    nextStep = 0;
    startStep = true;
  }
}
