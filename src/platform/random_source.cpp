#include "platform/random_source.h"

#include <ctime>

CLibraryRandom::CLibraryRandom() {
  // rand() without srand() draws as if seeded with 1.
  Seed(1);
}

unsigned CLibraryRandom::ClockSeed() {
  return unsigned(std::time(nullptr));
}

void CLibraryRandom::Seed(unsigned seed) {
  // A state of 128 bytes is the generator that rand() uses.
  state_ = {};
  initstate_r(seed, reinterpret_cast<char*>(generator_), sizeof generator_, &state_);
}

int CLibraryRandom::Draw() {
  std::int32_t value = 0;
  random_r(&state_, &value);
  return value;
}
