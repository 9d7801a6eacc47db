#include "playback/player_state.h"

#include "platform/random_source.h"
#include "rules/entry_rules.h"

#include <algorithm>

namespace {

constexpr int kShuffleCoverage = 2006;

} // namespace

PlayerState::PlayerState(RandomSource& random, QObject* parent)
    : QObject(parent), random_(random), draws_(random) {
  list_.LeaveUncounted(IsModeMarker);
  connect(&list_, &Playlist::Changed, this, [this] { emit Changed(Change::List); });
}

void PlayerState::SetRandomPlay(bool on) {
  if (std::exchange(randomPlay_, on) != on)
    emit Changed(Change::Modes);
}

void PlayerState::SetContinuousPlay(bool on) {
  if (std::exchange(continuousPlay_, on) != on)
    emit Changed(Change::Modes);
}

void PlayerState::SetCurrentMedia(const QString& file, const QByteArray& title) {
  // The same title again may be another file of the same name.
  const bool fileChanged = std::exchange(currentFile_, file) != file;
  const bool titleChanged = std::exchange(currentTitle_, title) != title;
  if (fileChanged || titleChanged)
    emit Changed(Change::Title);
}

void PlayerState::SetTrayState(int state) {
  if (std::exchange(trayState_, state) != state)
    emit Changed(Change::Playing);
}

bool PlayerState::Played(int position) const {
  return position >= 0 && position < kPlayedFlagCount && playedFlags_[size_t(position)] != 0;
}

void PlayerState::ForgetPlayed() {
  std::fill(playedFlags_.begin(), playedFlags_.begin() + shuffleSize_, 0);
  draws_.ForgetFlagged();
}

void PlayerState::StartNewShuffleCycle() {
  ForgetPlayed();
  for (int i = 0; i < list_.Count(); ++i)
    if (list_.Item(i).startsWith('*'))
      list_.SetItem(i, StarReset(list_.Item(i)));
}

int PlayerState::BeginRandomStep() {
  const int count = list_.Count();
  shuffleSize_ = count >= kPlayedFlagCount ? kShuffleCoverage : count;
  draws_.Begin(random_.ClockSeed(), shuffleSize_);
  int first = 0;
  while (first < shuffleSize_ && playedFlags_[size_t(first)] != 0)
    ++first;
  if (first == shuffleSize_)
    StartNewShuffleCycle();
  return first;
}

bool PlayerState::DrawPlayable(int& triesLeft) {
  while (triesLeft > 0) {
    draws_.SkipFlagged(triesLeft);
    if (triesLeft == 0)
      break;
    --triesLeft;
    const int r = draws_.Next();
    if (playedFlags_[size_t(r)] != 0) {
      draws_.Flagged();
      continue;
    }
    // On an empty list there is no position 0 to draw.
    if (r >= list_.Count())
      continue;
    playedFlags_[size_t(r)] = 1;
    draws_.Flagged();
    list_.SetItemIndex(r);
    if (!IsUnplayable(list_.Item(r)))
      return true;
  }
  return false;
}

void PlayerState::FallBackTo(int position) {
  // After a new cycle the fallback position is one past the covered part,
  // which may lie past the end: then nothing is selected.
  playedFlags_[size_t(position)] = 1;
  list_.SetItemIndex(position);
}
