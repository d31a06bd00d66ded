#include "engine/sprites/sprite_engine.h"

#include "engine/drawing/draw_surface.h"

TSpriteEngine::TSpriteEngine() : TSprite(nullptr) {}

// The tree goes first, while the kill queue its sprites leave still exists.
TSpriteEngine::~TSpriteEngine() {
  RemoveAll();
}

void TSpriteEngine::SetTargetSurface(TSurface* surface) {
  targetSurface_ = surface;
  if (!surface) return;
  ScreenRect = {0, 0, surface->Width(), surface->Height()};
  Width = surface->Width();
  Height = surface->Height();
}

void TSpriteEngine::DrawAll() {
  drawnCount_ = 0;
  DrawWalk();
}

void TSpriteEngine::RemoveDead() {
  while (!killQueue_.empty()) killQueue_.back()->Free();
}
