// The game's random generator: a 32-bit linear congruential generator whose draws are a pure
// function of the seed, so a seeded game plays the same every time.
#pragma once

#include <cstdint>

class TRandom {
 public:
  uint32_t RandSeed = 0;

  void Randomize(uint32_t seed) { RandSeed = seed; }
  // A whole number from 0 to n - 1; 0 when n is 0 or less.
  int32_t Random(int32_t n) {
    RandSeed = RandSeed * 134775813u + 1u;
    if (n <= 0) return 0;
    return static_cast<int32_t>((static_cast<uint64_t>(RandSeed) * static_cast<uint32_t>(n)) >> 32);
  }
};
