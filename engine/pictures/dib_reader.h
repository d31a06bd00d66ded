// Decodes Windows device-independent bitmaps, the pictures of the image archives: the packed
// form ("TDIB" data: header, colour table, bit-field masks, pixel rows) and the whole bitmap file
// ("TBitmap" data). Headers of 40 bytes (and the larger versions that extend it) and the 12-byte
// core header; 1, 4, 8, 16, 24 and 32 bits per pixel; uncompressed, RLE8, RLE4 and bit fields.
// The bytes are hostile: every read is bounds-checked, sizes are checked before anything is
// allocated, and the picture may hold at most kMaxDibPixels pixels.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <span>

#include "engine/pictures/picture.h"

// The largest picture accepted (16 million pixels, 64 MB; the game's largest is 800 x 532), so
// that a few bytes of run-length data cannot ask for gigabytes.
constexpr int64_t kMaxDibPixels = int64_t{1} << 24;
constexpr int32_t kMaxDibSide = 32768;

// The pixels that the pictures of one archive may decode to together. Run-length data asks for
// a whole picture from a few bytes, so one picture's bound alone would let a small archive of many
// such pictures take gigabytes; each picture takes its share before anything is allocated.
class PixelBudget {
 public:
  explicit PixelBudget(int64_t pixels) : left_(pixels) {}
  // Takes `pixels` from what is left; false (and nothing taken) when they do not fit.
  bool Take(int64_t pixels) {
    if (pixels > left_) return false;
    left_ -= pixels;
    return true;
  }
  int64_t Left() const { return left_; }

 private:
  int64_t left_;
};

// A packed DIB; EInvalidGraphic "DIB is invalid" for anything malformed or of an unsupported kind,
// or for a picture larger than what is left of `budget`.
TPicture DecodeDib(std::span<const uint8_t> bytes, PixelBudget& budget);
TPicture DecodeDib(std::span<const uint8_t> bytes);

// Fills `into` with the DIB's bytes from byte `at` on; false when the source no longer holds them.
using DibByteReader = std::function<bool(uint64_t at, std::span<uint8_t> into)>;
// Enough of a DIB's first bytes for its header, bit fields and colour table.
constexpr size_t kDibHeadBytes = 4096;

// DecodeDib for a DIB of `size` bytes whose rows are read through `read` a few at a time, so that
// the whole DIB is never held: `head` holds its first bytes, kDibHeadBytes of them or all. The
// same checks, errors and share of `budget`; a DIB the source no longer holds in full fails as a
// cut one does. None (the budget taken) for run-length coded DIBs: those are decoded whole.
std::optional<TPicture> DecodeDibInParts(std::span<const uint8_t> head, uint64_t size,
                                         const DibByteReader& read, PixelBudget& budget);

// A whole bitmap file ("BM", file header, then a DIB whose pixels start where the file header
// says); EInvalidGraphic "Bitmap image is not valid" for anything malformed or over the budget.
TPicture DecodeBitmapFile(std::span<const uint8_t> bytes, PixelBudget& budget);
TPicture DecodeBitmapFile(std::span<const uint8_t> bytes);

// Every check of DecodeDib and DecodeBitmapFile, with the same errors and the same share taken
// from `budget`, but no pixels decoded: data that passes decodes later without failing.
TPictureShape CheckDib(std::span<const uint8_t> bytes, PixelBudget& budget);
TPictureShape CheckBitmapFile(std::span<const uint8_t> bytes, PixelBudget& budget);
