// The sprite that shows a picture of the image list: one pattern of its Image, centred in its
// bounds, stepped through an animation by its own Advance, optionally wrapping around the
// surface. Every sprite of the game and the menus derives from it but the menu background.
#pragma once

#include <cstdint>
#include <optional>

#include "engine/sprites/sprite.h"

class TPictureCollectionItem;

class TImageSprite : public TSprite {
 public:
  explicit TImageSprite(TSprite* parent) : TSprite(parent) {}

  int32_t FrameCount = 0;  // patterns in the animation
  bool FrameLoop = false;  // the animation wraps around
  int32_t FrameIndex = 0;  // position in the animation
  double FrameSpeed = 0;   // animation advance per unit of moveCount
  int32_t FrameStart = 0;  // pattern number of animation position 0
  // The picture drawn; not owned. Items die with the next archive loaded, so sprites showing
  // them must be gone by then.
  TPictureCollectionItem* Image = nullptr;
  bool PixelExact = false;  // collide by pixels instead of rectangles
  bool Wrap = false;        // wraps around the surface

  int32_t CurrentPattern() const;
  // Bounds with the pattern centred in them (the pattern's top-left corner and size).
  TRect PlacedRect() const;

  void Render() override;
  // The part of the engine's surface that this frame's DrawAll covers with the sprite's own
  // pixels, when its Render is this class's and its pattern has no transparent pixel; none when
  // it is not drawn or leaves some pixel of its rectangle as it was.
  std::optional<TRect> SolidDrawnRect() const;
  // FrameIndex += moveCount x FrameSpeed rounded to nearest (ties to even); a looping animation
  // wraps into 0..FrameCount-1, one that does not loop stops on its last pattern (FrameSpeed 0).
  void Advance(int32_t moveCount) override;
  // With Wrap, the position is taken modulo the screen plus the sprite's size, so a tiled sprite
  // re-enters on the opposite side after leaving.
  TRect Bounds() const override;
  // True unless PixelExact is set and the other is an image sprite: then some pixel of the
  // overlap must be drawn in both current patterns.
  bool Overlaps(const TSprite& other) const override;
};

// Gives the sprite the picture and the picture's pattern size.
void SetPicture(TImageSprite& sprite, TPictureCollectionItem& picture);
// Sets a still picture up: the picture, its place (x, y), its layer z, colliding by rectangles.
void Place(TImageSprite& sprite, TPictureCollectionItem& picture, int32_t x, int32_t y, int32_t z);

// x rounded to the nearest whole number, halves going to the even one (0.5 -> 0, 1.5 -> 2).
double RoundHalfEven(double x);
