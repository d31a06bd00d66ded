#include "game/explosion_sprite.h"

#include "engine/pictures/image_list.h"
#include "engine/sprites/sprite_engine.h"
#include "game/field_layers.h"
#include "game/game_world.h"

TExplosionSprite::TExplosionSprite(TSprite* parent, TGameWorld& world, const char* picture,
                                   int32_t drift, int32_t x, int32_t y)
    : TImageSprite(parent), Drift(drift) {
  TPictureCollectionItem& item = world.Images.Items.Find(picture);
  SetPicture(*this, item);
  X = x;
  Y = y;
  SetZ(ZExplosions);
  PixelExact = false;
  FrameLoop = false;
  FrameCount = item.PatternTotal();
  FrameIndex = 0;
}

void TExplosionSprite::Advance(int32_t moveCount) {
  TImageSprite::Advance(moveCount);
  X -= Drift;
  if (X < -Width) Kill();
  // One pattern per frame, then gone.
  ++FrameIndex;
  if (FrameIndex == FrameCount) Kill();
}

void BurstOn(TGameWorld& world, const TSprite& on, const char* picture, int32_t drift) {
  const int32_t left = on.X + on.Width / 2 - ExplosionCell / 2;
  const int32_t top = on.Y + on.Height / 2 - ExplosionCell / 2;
  NewSprite<TExplosionSprite>(world.Engine, world, picture, drift, left, top);
}
