#include "platform/random_source.h"
#include "playback/shuffle_draws.h"

#include <gtest/gtest.h>
#include <vector>

namespace {

struct Burst {
  unsigned seed;
  int size;
  int steps;
  int tries;
  int clearEvery; // the flags are cleared (a new cycle) every so many steps
};

// The positions a burst of random steps within one second takes, one per
// step (-1 when a step spends all its tries), drawn as the shuffle draws:
// every step starts the sequence over and skips what earlier steps took.
std::vector<int> Replayed(const Burst& burst) {
  std::vector<char> flags(size_t(burst.size), 0);
  std::vector<int> taken;
  for (int step = 0; step < burst.steps; ++step) {
    if (step > 0 && step % burst.clearEvery == 0)
      std::fill(flags.begin(), flags.end(), 0);
    std::srand(burst.seed);
    int took = -1;
    for (int tries = burst.tries; tries > 0 && took < 0; --tries) {
      const int r = std::rand() % burst.size;
      if (flags[size_t(r)] == 0)
        flags[size_t(r)] = 1, took = r;
    }
    taken.push_back(took);
  }
  return taken;
}

std::vector<int> Drawn(const Burst& burst) {
  std::vector<char> flags(size_t(burst.size), 0);
  std::vector<int> taken;
  CLibraryRandom random;
  ShuffleDraws draws(random);
  for (int step = 0; step < burst.steps; ++step) {
    if (step > 0 && step % burst.clearEvery == 0) {
      std::fill(flags.begin(), flags.end(), 0);
      draws.ForgetFlagged();
    }
    draws.Begin(burst.seed, burst.size);
    int took = -1;
    int tries = burst.tries;
    while (tries > 0 && took < 0) {
      draws.SkipFlagged(tries);
      if (tries == 0)
        break;
      --tries;
      const int r = draws.Next();
      if (flags[size_t(r)] == 0)
        flags[size_t(r)] = 1, took = r;
      draws.Flagged();
    }
    taken.push_back(took);
  }
  return taken;
}

// Jumping over the values known to be taken must draw exactly what replaying
// the generator value by value draws: the same positions, the same spent
// steps when the tries run out, and the same after the flags are cleared.
TEST(ShuffleDraws, ABurstOfStepsTakesWhatReplayingTheGeneratorTakes) {
  const Burst bursts[] = {
      {1, 7, 20, 5000, 7},              // whole cycles of a small list
      {42, 2006, 2500, 5000, 2006},     // a full cover, then a new cycle
      {1765430000, 300, 400, 40, 1000}, // few tries: many steps come up empty
  };
  for (const Burst& burst : bursts) {
    SCOPED_TRACE(testing::Message() << "seed " << burst.seed << ", size " << burst.size);
    EXPECT_EQ(Drawn(burst), Replayed(burst));
  }
}

} // namespace
