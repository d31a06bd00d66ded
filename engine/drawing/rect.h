// Rectangles of the sprite engine and the image list: (Left, Top, Right, Bottom) with Right and
// Bottom exclusive.
#pragma once

#include <algorithm>
#include <cstdint>

struct TRect {
  int32_t Left = 0;
  int32_t Top = 0;
  int32_t Right = 0;
  int32_t Bottom = 0;

  int32_t Width() const { return Right - Left; }
  int32_t Height() const { return Bottom - Top; }
  bool operator==(const TRect&) const = default;
};

// The rectangle of a position and a size: (x, y, x + w, y + h).
constexpr TRect Bounds(int32_t x, int32_t y, int32_t w, int32_t h) {
  return {x, y, x + w, y + h};
}

// Rectangles that only touch do not overlap.
constexpr bool OverlapRect(const TRect& a, const TRect& b) {
  return a.Left < b.Right && a.Right > b.Left && a.Top < b.Bottom && a.Bottom > b.Top;
}

// The common part of two rectangles; empty (all zero) when they do not overlap.
constexpr TRect IntersectRect(const TRect& a, const TRect& b) {
  if (!OverlapRect(a, b)) return {};
  return {std::max(a.Left, b.Left), std::max(a.Top, b.Top), std::min(a.Right, b.Right),
          std::min(a.Bottom, b.Bottom)};
}
