#pragma once

#include <cstdint>
#include <cstdlib>

// Random numbers as the C library makes them: a seed from the clock's whole
// seconds (time) and the values that rand gives after srand. The program
// draws from CLibraryRandom; tests hand in values of their own.
class RandomSource {
public:
  virtual ~RandomSource() = default;

  // The seed of this moment: the clock's whole seconds.
  virtual unsigned ClockSeed() = 0;
  // Starts the sequence of a seed over, as srand does.
  virtual void Seed(unsigned seed) = 0;
  // The sequence's next value, 0 to RAND_MAX, as rand gives it.
  virtual int Draw() = 0;
};

// The C library's generator with a state of its own: the values of
// srand/rand, which nobody else's calls in between can shift.
class CLibraryRandom final : public RandomSource {
public:
  CLibraryRandom();

  unsigned ClockSeed() override;
  void Seed(unsigned seed) override;
  int Draw() override;

private:
  std::int32_t generator_[32]{};
  random_data state_{};
};
