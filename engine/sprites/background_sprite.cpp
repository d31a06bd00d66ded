#include "engine/sprites/background_sprite.h"

#include <algorithm>

#include "engine/drawing/draw_surface.h"
#include "engine/pictures/picture_collection.h"
#include "engine/sprites/sprite_engine.h"

namespace {

// The remainder brought into 0..size - 1.
int64_t Wrapped(int64_t value, int64_t size) {
  const int64_t r = value % size;
  return r < 0 ? r + size : r;
}

}  // namespace

TBackgroundSprite::TBackgroundSprite(TSprite* parent) : TSprite(parent) {
  Collides = false;
}

void TBackgroundSprite::ResizeMap(int32_t columns, int32_t rows) {
  if (columns == mapColumns_ && rows == mapRows_) return;
  if (columns <= 0 || rows <= 0) columns = rows = 0;
  mapColumns_ = columns;
  mapRows_ = rows;
  const size_t cells = static_cast<size_t>(columns) * static_cast<size_t>(rows);
  cellPatterns_.assign(cells, 0);
  cellSolid_.assign(cells, 1);
}

bool TBackgroundSprite::Inside(int32_t column, int32_t row) const {
  return column >= 0 && row >= 0 && column < mapColumns_ && row < mapRows_;
}

size_t TBackgroundSprite::CellIndex(int32_t column, int32_t row) const {
  return static_cast<size_t>(column) + static_cast<size_t>(row) * static_cast<size_t>(mapColumns_);
}

int32_t TBackgroundSprite::Chip(int32_t column, int32_t row) const {
  return Inside(column, row) ? cellPatterns_[CellIndex(column, row)] : -1;
}

void TBackgroundSprite::SetChip(int32_t column, int32_t row, int32_t pattern) {
  if (Inside(column, row)) cellPatterns_[CellIndex(column, row)] = pattern;
}

bool TBackgroundSprite::Solid(int32_t column, int32_t row) const {
  return Inside(column, row) && cellSolid_[CellIndex(column, row)] != 0;
}

void TBackgroundSprite::SetSolid(int32_t column, int32_t row, bool solid) {
  if (Inside(column, row)) cellSolid_[CellIndex(column, row)] = solid ? 1 : 0;
}

TRect TBackgroundSprite::Bounds() const {
  if (Wrap && Root()) return Root()->ScreenRect;
  if (!Image) return {};
  const int64_t x = TruncPixels(AbsX());
  const int64_t y = TruncPixels(AbsY());
  return {static_cast<int32_t>(x), static_cast<int32_t>(y),
          ClampToInt32(x + int64_t{Image->Width()} * mapColumns_),
          ClampToInt32(y + int64_t{Image->Height()} * mapRows_)};
}

void TBackgroundSprite::Render() {
  if (!Image || mapColumns_ <= 0 || mapRows_ <= 0 || !Root() || !Root()->TargetSurface()) return;
  const TRect cellBox = Image->PatternBox(0);
  const int64_t cw = cellBox.Width();
  const int64_t ch = cellBox.Height();
  if (cw <= 0 || ch <= 0) return;
  TSurface& target = *Root()->TargetSurface();
  const TRect& screen = Root()->ScreenRect;
  const int64_t cols = (screen.Right + cw) / cw + 1;
  const int64_t rows = (screen.Bottom + ch) / ch + 1;
  const int64_t x = TruncPixels(AbsX());
  const int64_t y = TruncPixels(AbsY());
  const int64_t ox = x % cw;
  const int64_t oy = y % ch;
  int64_t sx = x / cw;
  int64_t sy = y / ch;
  int64_t ax = 0;
  int64_t ay = 0;
  if (sx < 0) {
    ax = -sx;
    sx = 0;
  }
  if (sy < 0) {
    ay = -sy;
    sy = 0;
  }
  const auto draw = [&](int64_t col, int64_t row, int32_t chip) {
    if (chip >= 0) {
      Image->Draw(target, ClampToInt32(col * cw + ox), ClampToInt32(row * ch + oy), chip);
    }
  };
  if (Wrap) {
    for (int64_t row = -1; row <= rows; ++row) {
      for (int64_t col = -1; col <= cols; ++col) {
        draw(col, row,
             Chip(static_cast<int32_t>(Wrapped(col - sx + ax, mapColumns_)),
                  static_cast<int32_t>(Wrapped(row - sy + ay, mapRows_))));
      }
    }
    return;
  }
  const int64_t ex = std::min(sx + mapColumns_ - ax, cols);
  const int64_t ey = std::min(sy + mapRows_ - ay, rows);
  for (int64_t row = sy; row < ey; ++row) {
    for (int64_t col = sx; col < ex; ++col) {
      draw(col, row,
           Chip(static_cast<int32_t>(col - sx + ax), static_cast<int32_t>(row - sy + ay)));
    }
  }
}

std::optional<TRect> TBackgroundSprite::SolidDrawnRect() const {
  if (!Image || Wrap || mapColumns_ != 1 || mapRows_ != 1) return std::nullopt;
  // Render places the one cell at the sprite's position when that is not left of or above the
  // surface's corner; the rest is left to a clear.
  const int64_t x = TruncPixels(AbsX());
  const int64_t y = TruncPixels(AbsY());
  if (x < 0 || y < 0) return std::nullopt;
  const TRect cell = Image->PatternBox(0);
  const std::optional<TRect> drawn =
      DrawnPart({ClampToInt32(x), ClampToInt32(y), ClampToInt32(x + cell.Width()),
                 ClampToInt32(y + cell.Height())});
  const int32_t chip = Chip(0, 0);
  if (!drawn || chip < 0 || !Image->PatternSolid(chip)) return std::nullopt;
  return drawn;
}

bool TBackgroundSprite::Overlaps(const TSprite& other) const {
  if (!Image || mapColumns_ <= 0 || mapRows_ <= 0) return true;
  const TRect cellBox = Image->PatternBox(0);
  const int64_t cw = cellBox.Width();
  const int64_t ch = cellBox.Height();
  if (cw <= 0 || ch <= 0) return true;
  const TRect mine = Bounds();
  const TRect theirs = other.Bounds();
  if (!OverlapRect(mine, theirs)) return false;
  const int64_t dx = TruncPixels(AbsX());
  const int64_t dy = TruncPixels(AbsY());
  const TRect common = IntersectRect(mine, theirs);
  const int64_t iLeft = common.Left - dx, iTop = common.Top - dy;
  const int64_t iRight = common.Right - dx, iBottom = common.Bottom - dy;
  const int64_t oLeft = theirs.Left - dx, oTop = theirs.Top - dy;
  const int64_t oRight = theirs.Right - dx, oBottom = theirs.Bottom - dy;
  for (int64_t row = (iTop - ch + 1) / ch; row <= iBottom / ch; ++row) {
    for (int64_t col = (iLeft - cw + 1) / cw; col <= iRight / cw; ++col) {
      if (!Solid(static_cast<int32_t>(Wrapped(col, mapColumns_)),
                 static_cast<int32_t>(Wrapped(row, mapRows_)))) {
        continue;
      }
      const int64_t left = col * cw, top = row * ch;
      if (left < oRight && left + cw > oLeft && top < oBottom && top + ch > oTop) return true;
    }
  }
  return false;
}
