// The one-shot effect used all over the game (shot bursts, enemy deaths, the dragon's wounds and
// death): plays its picture's patterns once, one per frame, drifting left with the scenery, then
// removes itself.
#pragma once

#include <cstdint>

#include "engine/sprites/image_sprite.h"

struct TGameWorld;

class TExplosionSprite : public TImageSprite {
 public:
  TExplosionSprite(TSprite* parent, TGameWorld& world, const char* picture, int32_t drift,
                   int32_t x, int32_t y);

  int32_t Drift;  // pixels moved to the left per frame

  void Advance(int32_t moveCount) override;
};

// The explosions' cell: an explosion is centred on what it bursts from by its 64 x 64 cell.
constexpr int32_t ExplosionCell = 64;

// Creates an explosion of `picture` centred on `on`.
void BurstOn(TGameWorld& world, const TSprite& on, const char* picture, int32_t drift);
