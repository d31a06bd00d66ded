// The player's dragon with its tail (part of its body for collisions) and its shield. The dragon
// steers by the input states and pointer steps with a little inertia, drifts left with the world,
// fires its current weapon and reacts to everything it touches.
#pragma once

#include <cstdint>
#include <vector>

#include "engine/sprites/image_sprite.h"
#include "engine/sprites/sprite_ref.h"

struct TGameWorld;
class TTailSprite;
class TBonusSprite;

// Pixels per frame of a held direction.
constexpr int32_t HeroStep = 8;
constexpr int32_t FreshHitPoints = 50;
constexpr int32_t StandardFireRate = 24;
constexpr int32_t BonusFireRate = 12;
constexpr int32_t StandardWeapon = 1;
// Where the dragon starts each life.
constexpr int32_t HeroStartX = 150;
constexpr int32_t HeroStartY = 200;
// Frames of the dying phase.
constexpr int32_t DyingFrames = 190;
// How long a weapon bonus and the shield last, and a bonus's notice shows.
constexpr int32_t BonusTime = 15000;
constexpr int32_t NoticeTime = 2000;
// The most the dragon's inertia may reach in either direction, in pixels per frame.
constexpr double MaxDrift = 30;

class THeroSprite : public TImageSprite {
 public:
  // The dragon, hidden until its level banner ends, with its tail beside it in `parent`.
  THeroSprite(TSprite* parent, TGameWorld& world);

  int32_t FireRate = StandardFireRate;  // the pause between shots is 200 div FireRate frames
  int32_t FireCooldown = 0;
  int32_t WeaponKind = StandardWeapon;  // 1 fire, 2 fireball, 3 ice, 4 lightning
  int32_t HitPoints = FreshHitPoints;
  uint8_t FlapCounter = 0;
  uint8_t FlapDivisor = 10;  // frames per wing-beat pattern

  // What touches the dragon or its tail. A sprite that touches both in one frame is met once:
  // one rammed enemy, one bonus, one stone, one frame of lava.
  void HandleCollision(TSprite& other, bool& done) override;
  void Advance(int32_t moveCount) override;
  // The death: hidden, a life gone, the dying phase begun.
  void Die();

  TTailSprite* Tail() const { return tail_.Get(); }
  // Shows or hides the dragon with its tail.
  void SetBodyVisible(bool visible);
  // Back to fire shots at the standard rate.
  void RestoreStandardWeapon();

 private:
  void SteerHorizontally();
  void SteerVertically();
  void FollowBody();
  void Fire();
  void TakeBonus(TBonusSprite& bonus);
  bool Shielded() const;
  // Notes `other` as met in this frame; false when the dragon or its tail has met it already.
  bool FirstContact(TSprite& other);

  TGameWorld& world_;
  TSpriteRef<TTailSprite> tail_;
  // The sprites met in this frame by the dragon and its tail; emptied when the dragon moves.
  std::vector<TSpriteRef<TSprite>> contacts_;
};

// The dragon's tail, behind and below it; what touches the tail touches the dragon.
class TTailSprite : public TImageSprite {
 public:
  TTailSprite(TSprite* parent, TGameWorld& world, THeroSprite& hero);
  void HandleCollision(TSprite& other, bool& done) override;
  void Advance(int32_t moveCount) override;

 private:
  TSpriteRef<THeroSprite> hero_;
};

// Shown while the shield bonus runs: the dragon takes no damage.
class TShieldSprite : public TImageSprite {
 public:
  TShieldSprite(TSprite* parent, TGameWorld& world);
};
