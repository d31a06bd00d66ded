// The dragon's shots: they fly straight to the right and wound the first flying enemy they touch.
// The four kinds differ in picture, sound, power and the burst they leave.
#pragma once

#include <cstdint>

#include "engine/sprites/image_sprite.h"

struct TGameWorld;

// Pixels a hero shot flies per frame.
constexpr int32_t HeroShotSpeed = 10;

class THeroWeaponSprite : public TImageSprite {
 public:
  // A shot of `kind` (1 fire, 2 fireball, 3 ice, 4 lightning) with its top-left corner at (x, y).
  THeroWeaponSprite(TSprite* parent, TGameWorld& world, uint8_t kind, int32_t x, int32_t y);

  uint16_t ShotPower = 0;  // hit points taken from an enemy on a hit
  uint8_t ShotKind;
  uint8_t ShotCounter = 0;  // animation counter

  void HandleCollision(TSprite& other, bool& done) override;
  void Advance(int32_t moveCount) override;

 private:
  TGameWorld& world_;
};
