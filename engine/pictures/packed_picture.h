// A decoded picture kept as what it draws over one transparent colour: per row, the runs of
// pixels that are not that colour, and their pixels only. Sprite sheets are mostly transparent, so
// this holds them in a fraction of the plain form's memory, and drawing skips the transparent
// stretches instead of testing each pixel.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

#include "engine/pictures/picture.h"

class TPackedPicture {
 public:
  // The packed form of `picture` for `key`, or none when it would not save at least a quarter of
  // the memory of the plain form.
  static std::optional<TPackedPicture> Pack(const TPicture& picture, uint32_t key);

  int Width() const { return width_; }
  int Height() const { return height_; }
  // The colour left out; every pixel outside the runs had it.
  uint32_t Key() const { return key_; }
  // The plain picture again, pixel for pixel.
  TPicture Unpack() const;
  // True when the pixel at (x, y), inside the picture, is not the key.
  bool Opaque(int x, int y) const;
  // True when no pixel of row y in [left, right) is the key.
  bool Solid(int y, int left, int right) const;
  // Writes the pixels of row y in [left, right) that are not the key to dst[0 .. right - left),
  // leaving the others as they were.
  void DrawRow(uint32_t* dst, int y, int left, int right) const;
  // The heap memory held.
  size_t Bytes() const;

 private:
  // Pixels [first, last) of a row, stored from pixels_[offset].
  struct Run {
    int32_t first;
    int32_t last;
    uint32_t offset;
  };
  // The runs of row y, in order from left to right; the first whose end lies past x.
  const Run* RowBegin(int y) const { return runs_.data() + rowRuns_[static_cast<size_t>(y)]; }
  const Run* RowEnd(int y) const { return runs_.data() + rowRuns_[static_cast<size_t>(y) + 1]; }
  const Run* FirstEndingAfter(int y, int x) const;

  int width_ = 0;
  int height_ = 0;
  uint32_t key_ = 0;
  std::vector<uint32_t> rowRuns_;  // row y's runs are runs_[rowRuns_[y] .. rowRuns_[y + 1])
  std::vector<Run> runs_;
  std::vector<uint32_t> pixels_;
};
