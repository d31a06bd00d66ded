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
// word one of the lane (xor, multiply by an odd number and rotate each are), so a word that
// differs always leaves its lane different, and later steps never bring the lane back. Where two
// words of one lane differ, whether the second undoes the first depends on the lane's whole
// value through the product, not on the change alone.
constexpr uint64_t Step(uint64_t lane, uint64_t word) {
  return Rotl((lane ^ word) * Golden, 31);
}

// Two words into one lane with one product: still a bijection of each word and of the lane.
constexpr uint64_t Step2(uint64_t lane, uint64_t first, uint64_t second) {
  return Step(lane, first) + second;
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

// Why 64 bits are safe here: a change within one word (one pixel, or two side by side) always
// changes the fingerprint, since every step and each lane's finish are bijections and each lane
// is added in alone. Any other change keeps it only by a chance of about 2^-64, the products
// making it hang on the row's whole content rather than on the change alone:
// at 600 rows and 60 frames a second, that is once in some 10^10 years of play, and even then one
// row would show its former picture until it next changes. A plain sum or xor would not do: a
// picture moved by a whole word, or two equal changes, would cancel. Eight lanes keep the
// multiplier busy and each product takes two words, so a row is fingerprinted about as fast as
// it is compared (bench/row_fingerprint_bench).
uint64_t RowFingerprint(const uint32_t* row, int width) {
  const auto* bytes = reinterpret_cast<const uint8_t*>(row);
  const size_t size = static_cast<size_t>(std::max(width, 0)) * sizeof(uint32_t);
  uint64_t a = Golden, b = MixA, c = MixB, d = Golden ^ MixA;
  uint64_t e = Golden ^ MixB, f = MixA ^ MixB, g = ~Golden, k = ~MixA;
  size_t at = 0;
  for (; at + 128 <= size; at += 128) {
    a = Step2(a, LoadWord(bytes + at), LoadWord(bytes + at + 64));
    b = Step2(b, LoadWord(bytes + at + 8), LoadWord(bytes + at + 72));
    c = Step2(c, LoadWord(bytes + at + 16), LoadWord(bytes + at + 80));
    d = Step2(d, LoadWord(bytes + at + 24), LoadWord(bytes + at + 88));
    e = Step2(e, LoadWord(bytes + at + 32), LoadWord(bytes + at + 96));
    f = Step2(f, LoadWord(bytes + at + 40), LoadWord(bytes + at + 104));
    g = Step2(g, LoadWord(bytes + at + 48), LoadWord(bytes + at + 112));
    k = Step2(k, LoadWord(bytes + at + 56), LoadWord(bytes + at + 120));
  }
  // Each lane spread over all bits before they are added up: two lanes that differ then cancel
  // only by chance.
  uint64_t h = Finish(a) + Finish(b + 1) + Finish(c + 2) + Finish(d + 3) + Finish(e + 4) +
               Finish(f + 5) + Finish(g + 6) + Finish(k + 7);
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
