#include "playback/shuffle_draws.h"

#include <algorithm>

void ShuffleDraws::Begin(unsigned seed, int size) {
  cursor_ = 0;
  if (seed == seed_ && size == size_)
    return;
  seed_ = seed;
  size_ = size;
  values_.clear();
  knownFlagged_ = 0;
  // A private state of the same generator as rand(): the same values for the
  // same seed, without anyone else's calls in between.
  state_ = {};
  initstate_r(seed, reinterpret_cast<char*>(generator_), sizeof generator_, &state_);
}

void ShuffleDraws::SkipFlagged(int& tries) {
  if (cursor_ >= knownFlagged_)
    return;
  const auto skipped = int(std::min<std::size_t>(knownFlagged_ - cursor_, std::size_t(tries)));
  cursor_ += std::size_t(skipped);
  tries -= skipped;
}

int ShuffleDraws::Next() {
  // An empty cover draws position 0 without asking the generator.
  if (size_ <= 0)
    return 0;
  while (values_.size() <= cursor_) {
    std::int32_t value = 0;
    random_r(&state_, &value);
    values_.push_back(value % size_);
  }
  return values_[cursor_++];
}

void ShuffleDraws::Flagged() {
  if (size_ > 0 && cursor_ == knownFlagged_ + 1)
    knownFlagged_ = cursor_;
}
