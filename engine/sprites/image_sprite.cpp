#include "engine/sprites/image_sprite.h"

#include <algorithm>
#include <cmath>

#include "engine/drawing/draw_surface.h"
#include "engine/pictures/picture_collection.h"
#include "engine/sprites/sprite_engine.h"

double RoundHalfEven(double x) {
  const double down = std::floor(x);
  const double rest = x - down;
  if (rest < 0.5) return down;
  if (rest > 0.5) return down + 1;
  return std::fmod(down, 2.0) == 0 ? down : down + 1;
}

void SetPicture(TImageSprite& sprite, TPictureCollectionItem& picture) {
  sprite.Image = &picture;
  sprite.Width = picture.Width();
  sprite.Height = picture.Height();
}

void Place(TImageSprite& sprite, TPictureCollectionItem& picture, int32_t x, int32_t y, int32_t z) {
  SetPicture(sprite, picture);
  sprite.X = x;
  sprite.Y = y;
  sprite.SetZ(z);
  sprite.PixelExact = false;
}

int32_t TImageSprite::CurrentPattern() const {
  return ClampToInt32(int64_t{FrameStart} + FrameIndex);
}

TRect TImageSprite::PlacedRect() const {
  const TRect bounds = Bounds();
  if (!Image) return bounds;
  const int32_t w = Image->Width();
  const int32_t h = Image->Height();
  const int64_t left = bounds.Left + (int64_t{Width} - w) / 2;
  const int64_t top = bounds.Top + (int64_t{Height} - h) / 2;
  return {ClampToInt32(left), ClampToInt32(top), ClampToInt32(left + w), ClampToInt32(top + h)};
}

void TImageSprite::Render() {
  if (!Image || !Root() || !Root()->TargetSurface()) return;
  const TRect placed = PlacedRect();
  Image->Draw(*Root()->TargetSurface(), placed.Left, placed.Top, CurrentPattern());
}

std::optional<TRect> TImageSprite::SolidDrawnRect() const {
  if (!Image) return std::nullopt;
  const std::optional<TRect> drawn = DrawnPart(PlacedRect());
  if (!drawn || !Image->PatternSolid(CurrentPattern())) return std::nullopt;
  return drawn;
}

void TImageSprite::Advance(int32_t moveCount) {
  // Kept within 2^40 so that nonsense speeds cannot overflow the sums below.
  constexpr double kLimit = 1099511627776.0;
  double step = RoundHalfEven(moveCount * FrameSpeed);
  step = std::isnan(step) ? 0 : std::clamp(step, -kLimit, kLimit);
  int64_t index = FrameIndex + static_cast<int64_t>(step);
  const int64_t count = FrameCount;
  if (FrameLoop) {
    if (count > 0) {
      index %= count;
      if (index < 0) index += count;
    } else {
      index = 0;
    }
  } else {
    if (index >= count) {
      index = count - 1;
      FrameSpeed = 0;
    }
    if (index < 0) {
      index = 0;
      FrameSpeed = 0;
    }
  }
  FrameIndex = static_cast<int32_t>(index);
}

TRect TImageSprite::Bounds() const {
  int64_t x = TruncPixels(AbsX());
  int64_t y = TruncPixels(AbsY());
  if (Wrap && Root()) {
    const TRect& screen = Root()->ScreenRect;
    const auto wrap = [](int64_t& v, int64_t edge, int64_t size) {
      const int64_t span = edge + size;
      if (span <= 0) return;
      v %= span;
      if (v < 0) v += span;
      if (v > edge) v -= span;
    };
    wrap(x, screen.Right, Width);
    wrap(y, screen.Bottom, Height);
  }
  return {ClampToInt32(x), ClampToInt32(y), ClampToInt32(x + Width), ClampToInt32(y + Height)};
}

bool TImageSprite::Overlaps(const TSprite& other) const {
  const auto* sprite = dynamic_cast<const TImageSprite*>(&other);
  if (!PixelExact || !sprite || !Image || !sprite->Image) return true;
  const TRect mine = PlacedRect();
  const TRect theirs = sprite->PlacedRect();
  const TRect common = IntersectRect(mine, theirs);
  for (int32_t y = common.Top; y < common.Bottom; ++y) {
    for (int32_t x = common.Left; x < common.Right; ++x) {
      if (Image->Opaque(CurrentPattern(), x - mine.Left, y - mine.Top) &&
          sprite->Image->Opaque(sprite->CurrentPattern(), x - theirs.Left, y - theirs.Top)) {
        return true;
      }
    }
  }
  return false;
}
