// A decoded picture in memory: 32-bit pixels (0x00RRGGBB), rows from top to bottom, as the
// picture readers deliver them and the image list cuts them into patterns.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "engine/base/fresh_memory.h"

// The size of a picture whose pixels are not decoded yet.
struct TPictureShape {
  int Width = 0;
  int Height = 0;
};

struct TPicture {
  int Width = 0;
  int Height = 0;
  std::vector<uint32_t> Pixels;

  TPicture() = default;
  TPicture(int width, int height)
      : Width(width),
        Height(height),
        Pixels(FreshVector<uint32_t>(static_cast<size_t>(width) * static_cast<size_t>(height))) {}

  bool Empty() const { return Width <= 0 || Height <= 0; }
  uint32_t Pixel(int x, int y) const { return Pixels[Index(x, y)]; }
  uint32_t& Pixel(int x, int y) { return Pixels[Index(x, y)]; }
  const uint32_t* Row(int y) const { return Pixels.data() + Index(0, y); }
  uint32_t* Row(int y) { return Pixels.data() + Index(0, y); }
  bool operator==(const TPicture&) const = default;

 private:
  size_t Index(int x, int y) const {
    return static_cast<size_t>(y) * static_cast<size_t>(Width) + static_cast<size_t>(x);
  }
};
