// Bonuses that float in from the right, and the indicators on the status bar: the running bonus,
// the lives, the level's progress bar and the bar itself.
#pragma once

#include <cstdint>

#include "engine/sprites/image_sprite.h"

struct TGameWorld;

// What a bonus gives.
enum TBonusKind : uint8_t {
  bkWeapon = 1,
  bkDestroyAll = 2,
  bkShield = 3,
  bkExtraLife = 4,
  bkPoints = 5,
  bkTime = 6,
};

// Picture number `kind` + WeaponIconBase of the game's image list is the icon of weapon `kind`.
constexpr int32_t WeaponIconBase = 23;

class TBonusSprite : public TImageSprite {
 public:
  TBonusSprite(TSprite* parent, TGameWorld& world);

  uint8_t BonusKind = bkWeapon;
  uint8_t BonusWeapon = 2;  // the weapon a weapon bonus gives: 2 fireball, 3 ice, 4 lightning
  uint8_t AnimCounter = 0;

  // The bonus, with the weapon's icon on a weapon bonus, under the indicator's ring.
  void Render() override;
  void Advance(int32_t moveCount) override;

 private:
  TGameWorld& world_;
};

// Which timed bonus or notice is running, at a fixed place on the status bar.
class TBonusIndicatorSprite : public TImageSprite {
 public:
  TBonusIndicatorSprite(TSprite* parent, TGameWorld& world);
  void Render() override;

 private:
  TGameWorld& world_;
};

// One "life" picture per remaining life.
class TLivesIndicator : public TImageSprite {
 public:
  TLivesIndicator(TSprite* parent, TGameWorld& world);
  void Render() override;

 private:
  TGameWorld& world_;
};

// The bar that grows with the level clock, one pattern per pixel column.
class TScaleSprite : public TImageSprite {
 public:
  TScaleSprite(TSprite* parent, TGameWorld& world);
  void Render() override;
  // Columns drawn now: 1 at the start of a level, 195 at its end.
  int32_t Columns() const;

 private:
  TGameWorld& world_;
};

// The frame on which the level, score and clocks are printed.
class TStatusSprite : public TImageSprite {
 public:
  TStatusSprite(TSprite* parent, TGameWorld& world);
};
