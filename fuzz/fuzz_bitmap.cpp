// Fuzz target: whole bitmap files ("TBitmap" picture data), and the "Picture.Data" framing that
// names the format in front of the data. Any bytes decode or fail with the readers' errors.
#include <cstddef>
#include <cstdint>
#include <span>

#include "engine/dib_reader.h"
#include "engine/exception.h"
#include "engine/picture_data.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::span<const uint8_t> bytes(data, size);
  try {
    const TPicture picture = DecodeBitmapFile(bytes);
    if (picture.Pixels.size() !=
        static_cast<size_t>(picture.Width) * static_cast<size_t>(picture.Height)) {
      __builtin_trap();
    }
  } catch (const EInvalidGraphic&) {
  }
  try {
    ReadPictureData(bytes);
  } catch (const Exception&) {
  }
  return 0;
}
