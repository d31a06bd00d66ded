// The root of the sprite tree: counts its sprites, keeps the queue of killed sprites that
// RemoveDead frees, and draws the tree onto its target surface (the drawing surface's back
// buffer) in Z order, counting the sprites drawn.
#pragma once

#include <cstdint>
#include <vector>

#include "engine/sprites/sprite.h"

class TSurface;

class TSpriteEngine : public TSprite {
 public:
  TSpriteEngine();
  ~TSpriteEngine() override;

  // Sprites created below the engine and not yet freed.
  int32_t SpriteTotal() const { return spriteTotal_; }
  // Killed sprites in marking order; they stay owned by their parents until RemoveDead.
  const std::vector<TSprite*>& KillQueue() const { return killQueue_; }
  // Sprites rendered by the last DrawAll.
  int32_t DrawnCount() const { return drawnCount_; }

  TSurface* TargetSurface() const { return targetSurface_; }
  // Setting a surface takes its rectangle as ScreenRect and its size as the engine's; setting
  // none leaves the rectangle as it was.
  void SetTargetSurface(TSurface* surface);
  TRect ScreenRect;

  // Draws every visible sprite whose bounds overlap ScreenRect, parents before (under) their
  // children, siblings in Z order.
  void DrawAll();
  // Frees the killed sprites, the last killed first (each with its children).
  void RemoveDead();

 private:
  friend class TSprite;
  int32_t spriteTotal_ = 0;
  std::vector<TSprite*> killQueue_;
  int32_t drawnCount_ = 0;
  TSurface* targetSurface_ = nullptr;
};
