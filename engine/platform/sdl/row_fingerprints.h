// Which rows of a picture changed since the picture shown last, told from a 64-bit fingerprint
// per row instead of a copy of that picture: the window's own picture is drawn over in place, so
// the picture shown last is not at hand to compare with.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

namespace platform::sdl {

// A well-mixed 64-bit fingerprint of a row of `width` pixels.
uint64_t RowFingerprint(const uint32_t* row, int width);

// The rows from `first` to `last`; none when first > last.
struct RowBand {
  int first = 0;
  int last = -1;
  bool Empty() const { return last < first; }
};

// Fingerprints every row of `picture` (remembered.size() rows of `width` pixels each) and returns
// the band from the first to the last row whose fingerprint differs from the one remembered, or
// every row when `all`; the remembered fingerprints become the picture's. A row that differs is
// also copied to `copy` (rows `copyPitch` bytes apart), unless `copy` is the picture itself.
RowBand UpdateRowFingerprints(std::span<uint64_t> remembered, const uint32_t* picture, int width,
                              bool all, uint8_t* copy, ptrdiff_t copyPitch);

}  // namespace platform::sdl
