// Fuzz target: packed DIBs ("TDIB" picture data). Any bytes either decode into a picture whose
// pixels match its size, or fail with EInvalidGraphic.
#include <cstddef>
#include <cstdint>
#include <span>

#include "engine/dib_reader.h"
#include "engine/exception.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  try {
    const TPicture picture = DecodeDib(std::span<const uint8_t>(data, size));
    if (picture.Empty() || picture.Pixels.size() != static_cast<size_t>(picture.Width) *
                                                        static_cast<size_t>(picture.Height)) {
      __builtin_trap();
    }
  } catch (const EInvalidGraphic&) {
  }
  return 0;
}
