#include "engine/pictures/packed_picture.h"

#include <algorithm>
#include <cstring>

namespace {

// Calls run(y, first, last) for every stretch of pixels other than `key`, row by row.
template <typename RunFound>
void ForEachRun(const TPicture& picture, uint32_t key, RunFound run) {
  for (int y = 0; y < picture.Height; ++y) {
    const uint32_t* row = picture.Row(y);
    int x = 0;
    while (x < picture.Width) {
      while (x < picture.Width && row[x] == key) ++x;
      const int first = x;
      while (x < picture.Width && row[x] != key) ++x;
      if (x > first) run(y, first, x);
    }
  }
}

}  // namespace

std::optional<TPackedPicture> TPackedPicture::Pack(const TPicture& picture, uint32_t key) {
  if (picture.Empty()) return std::nullopt;
  // Counted first, so that nothing is allocated unless the packed form pays, and then exactly.
  size_t runs = 0;
  size_t opaque = 0;
  ForEachRun(picture, key, [&](int, int first, int last) {
    ++runs;
    opaque += static_cast<size_t>(last - first);
  });
  if (opaque > UINT32_MAX) return std::nullopt;
  const size_t rows = static_cast<size_t>(picture.Height);
  const size_t plainBytes = static_cast<size_t>(picture.Width) * rows * sizeof(uint32_t);
  const size_t packedBytes =
      (rows + 1) * sizeof(uint32_t) + runs * sizeof(Run) + opaque * sizeof(uint32_t);
  if (packedBytes > plainBytes / 4 * 3) return std::nullopt;

  TPackedPicture packed;
  packed.width_ = picture.Width;
  packed.height_ = picture.Height;
  packed.key_ = key;
  packed.rowRuns_.assign(rows + 1, 0);
  packed.runs_.reserve(runs);
  packed.pixels_.reserve(opaque);
  ForEachRun(picture, key, [&](int y, int first, int last) {
    packed.runs_.push_back({first, last, static_cast<uint32_t>(packed.pixels_.size())});
    const uint32_t* row = picture.Row(y);
    packed.pixels_.insert(packed.pixels_.end(), row + first, row + last);
    packed.rowRuns_[static_cast<size_t>(y) + 1] = static_cast<uint32_t>(packed.runs_.size());
  });
  // Rows without a run end where the row before them does.
  for (size_t y = 1; y <= rows; ++y) {
    packed.rowRuns_[y] = std::max(packed.rowRuns_[y], packed.rowRuns_[y - 1]);
  }
  return packed;
}

TPicture TPackedPicture::Unpack() const {
  TPicture picture(width_, height_);
  std::fill(picture.Pixels.begin(), picture.Pixels.end(), key_);
  for (int y = 0; y < height_; ++y) DrawRow(picture.Row(y), y, 0, width_);
  return picture;
}

const TPackedPicture::Run* TPackedPicture::FirstEndingAfter(int y, int x) const {
  return std::partition_point(RowBegin(y), RowEnd(y),
                              [x](const Run& run) { return run.last <= x; });
}

bool TPackedPicture::Opaque(int x, int y) const {
  const Run* run = FirstEndingAfter(y, x);
  return run != RowEnd(y) && run->first <= x;
}

bool TPackedPicture::Solid(int y, int left, int right) const {
  if (left >= right) return true;
  // Runs are as long as they can be: a solid stretch lies within one.
  const Run* run = FirstEndingAfter(y, left);
  return run != RowEnd(y) && run->first <= left && run->last >= right;
}

void TPackedPicture::DrawRow(uint32_t* dst, int y, int left, int right) const {
  const Run* end = RowEnd(y);
  for (const Run* run = FirstEndingAfter(y, left); run != end && run->first < right; ++run) {
    const int from = std::max(run->first, left);
    const int to = std::min(run->last, right);
    std::memcpy(dst + (from - left), pixels_.data() + run->offset + (from - run->first),
                static_cast<size_t>(to - from) * sizeof(uint32_t));
  }
}

size_t TPackedPicture::Bytes() const {
  return rowRuns_.capacity() * sizeof(uint32_t) + runs_.capacity() * sizeof(Run) +
         pixels_.capacity() * sizeof(uint32_t);
}
