// Fuzz target: packed DIBs ("TDIB" picture data). Any bytes either decode into a picture whose
// pixels match its size, or fail with EInvalidGraphic; the check that stands for the decode at a
// load (the picture is decoded when first drawn) agrees with it on both, size included, and so
// does the decode that reads the rows a few at a time (the same picture, or the same failure).
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <optional>
#include <span>

#include "engine/base/exception.h"
#include "engine/pictures/dib_reader.h"

namespace {
// A million pixels: every path of the decoder is reached with pictures of that size, and an input
// that asks for the whole 64 MB of the one-picture bound would spend the run filling memory.
constexpr int64_t FuzzPixels = int64_t{1} << 20;
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::span<const uint8_t> bytes(data, size);
  bool checked = false;
  TPictureShape shape;
  try {
    PixelBudget budget(FuzzPixels);
    shape = CheckDib(bytes, budget);
    checked = true;
  } catch (const EInvalidGraphic&) {
  }
  std::optional<TPicture> inParts;
  bool partsFailed = false;
  try {
    PixelBudget budget(FuzzPixels);
    const auto read = [&](uint64_t at, std::span<uint8_t> into) {
      if (at > size || into.size() > size - at) return false;
      if (!into.empty()) std::memcpy(into.data(), data + at, into.size());
      return true;
    };
    inParts = DecodeDibInParts(bytes.first(std::min(size, kDibHeadBytes)), size, read, budget);
  } catch (const EInvalidGraphic&) {
    partsFailed = true;
  }
  try {
    PixelBudget budget(FuzzPixels);
    const TPicture picture = DecodeDib(bytes, budget);
    if (partsFailed || (inParts && !(*inParts == picture))) __builtin_trap();
    if (picture.Empty() || picture.Pixels.size() != static_cast<size_t>(picture.Width) *
                                                        static_cast<size_t>(picture.Height)) {
      __builtin_trap();
    }
    if (!checked || shape.Width != picture.Width || shape.Height != picture.Height)
      __builtin_trap();
  } catch (const EInvalidGraphic&) {
    if (checked || !partsFailed) __builtin_trap();
  }
  return 0;
}
