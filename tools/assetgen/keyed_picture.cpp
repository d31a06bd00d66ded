#include "tools/assetgen/keyed_picture.h"

#include <stdexcept>

namespace assets {

KeyedPicture KeyPicture(const Image& image, const PictureEntry& entry) {
  if (image.width() != entry.Width() || image.height() != entry.Height()) {
    throw std::logic_error("picture " + entry.name + " was painted " +
                           std::to_string(image.width()) + "x" + std::to_string(image.height()) +
                           " but the manifest wants " + std::to_string(entry.Width()) + "x" +
                           std::to_string(entry.Height()));
  }
  KeyedPicture keyed;
  keyed.name = entry.name;
  keyed.width = image.width();
  keyed.height = image.height();
  keyed.patternWidth = entry.patternWidth;
  keyed.patternHeight = entry.patternHeight;
  keyed.transparent = entry.transparent;
  keyed.pixels.resize(static_cast<size_t>(keyed.width) * keyed.height);
  image.Flush();
  for (int y = 0; y < keyed.height; ++y) {
    const uint32_t* row = image.Row(y);
    for (int x = 0; x < keyed.width; ++x) {
      const uint32_t pixel = row[x];
      const uint32_t alpha = pixel >> 24;
      uint32_t out = entry.transparent;
      if (alpha >= kKeyThreshold) {
        out = 0;
        for (int shift = 0; shift < 24; shift += 8) {
          const uint32_t channel = (pixel >> shift) & 0xFF;
          uint32_t value = (channel * 255 + alpha / 2) / alpha;
          if (value > 255) value = 255;
          out |= value << shift;
        }
        if (out == entry.transparent) out ^= 1;
      }
      keyed.pixels[static_cast<size_t>(y) * keyed.width + x] = out;
    }
  }
  return keyed;
}

}  // namespace assets
