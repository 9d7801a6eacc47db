#pragma once

#include <cstddef>
#include <vector>

class RandomSource;

// The draws of the shuffle: the values that the source gives after a seed,
// each taken modulo the covered size, read from a cursor
// that every random step sets back to the start.
//
// Steps within one second replay the same values and spend a try on every
// position that an earlier step took, so a burst of steps (a run of failing
// entries under continuous play) would replay an ever longer run value by
// value. The values are kept, and so is how many leading values are known to
// fall on flagged positions; a step jumps over those, spending the same tries.
class ShuffleDraws {
public:
  explicit ShuffleDraws(RandomSource& source) : source_(source) {}

  // A random step begins: the cursor goes back to the first value.
  void Begin(unsigned seed, int size);
  // The flags were cleared: no value is known to fall on a flagged position.
  void ForgetFlagged() { knownFlagged_ = 0; }

  // Moves the cursor past the values known to be flagged, one try each, as
  // far as tries allow.
  void SkipFlagged(int& tries);
  // The value under the cursor; the cursor moves on.
  int Next();
  // The value that Next gave now falls on a flagged position.
  void Flagged();

private:
  RandomSource& source_;
  unsigned seed_ = 0;
  int size_ = -1;
  std::vector<int> values_;
  std::size_t cursor_ = 0;
  std::size_t knownFlagged_ = 0;
};
