#include "engine/platform/sdl/row_fingerprints.h"

#include <algorithm>
#include <cstring>

namespace platform::sdl {
namespace {

// Odd multipliers with well-spread bits (the golden ratio's and two of a 64-bit finaliser).
constexpr uint64_t Golden = 0x9E3779B97F4A7C15ull;
constexpr uint64_t MixA = 0xBF58476D1CE4E5B9ull;
constexpr uint64_t MixB = 0x94D049BB133111EBull;

constexpr uint64_t Rotl(uint64_t value, int bits) {
  return (value << bits) | (value >> (64 - bits));
}

// One word into one lane. For a fixed lane the step is a bijection of the word, and for a fixed
// word one of the lane (add, rotate and multiply by an odd number each are), so a word that
// differs always leaves its lane different, and later steps never bring the lanes back together.
constexpr uint64_t Step(uint64_t lane, uint64_t word) {
  return Rotl(lane + word * MixA, 29) * Golden;
}

// The final spread of every input bit over all output bits (a bijection too).
constexpr uint64_t Finish(uint64_t h) {
  h ^= h >> 30;
  h *= MixA;
  h ^= h >> 27;
  h *= MixB;
  return h ^ (h >> 31);
}

uint64_t LoadWord(const uint8_t* bytes) {
  uint64_t word;
  std::memcpy(&word, bytes, sizeof word);
  return word;
}

}  // namespace

// Why 64 bits are safe here: a change confined to one lane (one pixel, a short stretch of them)
// always changes the fingerprint, since every step and the finish are bijections and one lane is
// added in alone. A change across lanes keeps the fingerprint only by a chance of about 2^-64:
// at 600 rows and 60 frames a second, that is once in some 10^10 years of play, and even then one
// row would show its former picture until it next changes. A plain sum or xor would not do: a
// picture moved by a whole word, or two equal changes, would cancel. Four lanes keep the
// multiplier busy, so a row is fingerprinted about as fast as it is read.
uint64_t RowFingerprint(const uint32_t* row, int width) {
  const auto* bytes = reinterpret_cast<const uint8_t*>(row);
  const size_t size = static_cast<size_t>(std::max(width, 0)) * sizeof(uint32_t);
  uint64_t lanes[4] = {Golden, MixA, MixB, Golden ^ MixA};
  size_t at = 0;
  for (; at + 32 <= size; at += 32) {
    lanes[0] = Step(lanes[0], LoadWord(bytes + at));
    lanes[1] = Step(lanes[1], LoadWord(bytes + at + 8));
    lanes[2] = Step(lanes[2], LoadWord(bytes + at + 16));
    lanes[3] = Step(lanes[3], LoadWord(bytes + at + 24));
  }
  uint64_t h = Rotl(lanes[0], 1) + Rotl(lanes[1], 7) + Rotl(lanes[2], 12) + Rotl(lanes[3], 18);
  for (; at + 8 <= size; at += 8) h = Step(h, LoadWord(bytes + at));
  if (at < size) {
    uint32_t last;
    std::memcpy(&last, bytes + at, sizeof last);
    h = Step(h, last);
  }
  return Finish(h + size);
}

RowBand UpdateRowFingerprints(std::span<uint64_t> remembered, const uint32_t* picture, int width,
                              bool all, uint8_t* copy, ptrdiff_t copyPitch) {
  RowBand band{static_cast<int>(remembered.size()), -1};
  const size_t rowBytes = static_cast<size_t>(width) * sizeof(uint32_t);
  for (size_t y = 0; y < remembered.size(); ++y) {
    const uint32_t* row = picture + y * static_cast<size_t>(width);
    const uint64_t fingerprint = RowFingerprint(row, width);
    if (!all && fingerprint == remembered[y]) continue;
    remembered[y] = fingerprint;
    uint8_t* target = copy + static_cast<ptrdiff_t>(y) * copyPitch;
    if (reinterpret_cast<const uint8_t*>(row) != target) std::memcpy(target, row, rowBytes);
    band.first = std::min(band.first, static_cast<int>(y));
    band.last = static_cast<int>(y);
  }
  return band;
}

}  // namespace platform::sdl
