// A finished picture as the image archive stores it: opaque 0x00RRGGBB pixels in which one colour
// marks the transparent parts, with the pattern size the game cuts it by.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "tools/assetgen/image.h"
#include "tools/assetgen/manifest.h"

namespace assets {

struct KeyedPicture {
  std::string name;
  int width = 0;
  int height = 0;
  std::vector<uint32_t> pixels;  // row by row, top row first, 0x00RRGGBB
  int patternWidth = 0;
  int patternHeight = 0;
  uint32_t transparent = 0;  // 0xRRGGBB
};

// Coverage below this (out of 255) becomes the transparent colour.
inline constexpr int kKeyThreshold = 110;

// Turns a painted picture into keyed pixels: a pixel at least kKeyThreshold covered keeps its own
// colour at full strength (so edges never carry a blend with a colour that will not be behind
// them), anything less becomes the transparent colour. An opaque pixel that happens to have the
// transparent colour is moved by one step of blue so that it stays visible.
KeyedPicture KeyPicture(const Image& image, const PictureEntry& entry);

}  // namespace assets
