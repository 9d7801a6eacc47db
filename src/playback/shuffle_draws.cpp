#include "playback/shuffle_draws.h"

#include "platform/random_source.h"

#include <algorithm>

void ShuffleDraws::Begin(unsigned seed, int size) {
  cursor_ = 0;
  if (seed == seed_ && size == size_)
    return;
  seed_ = seed;
  size_ = size;
  values_.clear();
  knownFlagged_ = 0;
  source_.Seed(seed);
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
  while (values_.size() <= cursor_)
    values_.push_back(source_.Draw() % size_);
  return values_[cursor_++];
}

void ShuffleDraws::Flagged() {
  if (size_ > 0 && cursor_ == knownFlagged_ + 1)
    knownFlagged_ = cursor_;
}
