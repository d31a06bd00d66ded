// Colours as the canvas and the picture files give them (TColor: 0x00BBGGRR, so red is 255) and
// as the surfaces hold them (0xAARRGGBB).
#pragma once

#include <cstdint>

using TColor = uint32_t;

constexpr TColor clBlack = 0x000000;
constexpr TColor clRed = 0x0000FF;
constexpr TColor clWhite = 0xFFFFFF;

constexpr TColor RGB(uint8_t r, uint8_t g, uint8_t b) {
  return static_cast<TColor>(r) | (static_cast<TColor>(g) << 8) | (static_cast<TColor>(b) << 16);
}

// The surface pixel (0x00RRGGBB) of a colour.
constexpr uint32_t ColorToPixel(TColor color) {
  return ((color & 0xFF) << 16) | (color & 0xFF00) | ((color >> 16) & 0xFF);
}
