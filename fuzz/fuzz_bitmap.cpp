// Fuzz target: whole bitmap files ("TBitmap" picture data), and the "Picture.Data" framing that
// names the format in front of the data. Any bytes decode or fail with the readers' errors.
#include <cstddef>
#include <cstdint>
#include <span>

#include "engine/base/exception.h"
#include "engine/pictures/dib_reader.h"
#include "engine/pictures/picture_data.h"

namespace {
// A million pixels: every path of the decoders is reached with pictures of that size, and an
// input that asks for the whole 64 MB of the one-picture bound would spend the run filling memory.
constexpr int64_t FuzzPixels = int64_t{1} << 20;
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::span<const uint8_t> bytes(data, size);
  try {
    PixelBudget budget(FuzzPixels);
    const TPicture picture = DecodeBitmapFile(bytes, budget);
    if (picture.Pixels.size() !=
        static_cast<size_t>(picture.Width) * static_cast<size_t>(picture.Height)) {
      __builtin_trap();
    }
  } catch (const EInvalidGraphic&) {
  }
  try {
    PixelBudget budget(FuzzPixels);
    ReadPictureData(bytes, budget);
  } catch (const Exception&) {
  }
  return 0;
}
