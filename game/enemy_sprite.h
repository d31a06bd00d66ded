// The opponents: one class with eight kinds (two flyers, a weaving flyer that drops burning
// stones, four archers on the ground and a catapult), and their missiles. Neither tests
// collisions: the dragon, its tail and its shots do.
#pragma once

#include <cstdint>

#include "engine/sprites/image_sprite.h"

struct TGameWorld;

// Pixels per frame of the straight flyer and of an arrow.
constexpr int32_t EnemyFlySpeed = 5;
constexpr int32_t EnemyArrowSpeed = 10;

// How far an enemy's shot of the given kind moves each frame (nothing for an unknown kind).
struct EnemyShotStep {
  int32_t dx;
  int32_t dy;
};
constexpr EnemyShotStep EnemyShotStepOf(uint8_t kind) {
  switch (kind) {
    case 1:
      return {-EnemyArrowSpeed, 0};
    case 2:
      return {-9, -6};
    case 3:
      return {-3, 5};
    case 4:
      return {-7, -5};
    default:
      return {0, 0};
  }
}

class TFlyingEnemySprite : public TImageSprite {
 public:
  // An enemy of `kind` 1..8 entering at the right (the diving flyer above the play area).
  TFlyingEnemySprite(TSprite* parent, TGameWorld& world, uint16_t kind);

  int32_t HitPoints = 0;
  uint16_t ScoreValue = 0;   // points on death: the starting hit points
  uint16_t FireDivisor = 1;  // the pause between shots is 200 div FireDivisor frames
  uint16_t FireDelay = 0;    // frames until the next shot
  // The 101-frame rhythm: 0 -> 100 -> 99 ... -> 0; shots only while below 50.
  uint16_t Phase = 0;
  uint16_t EnemyKind;
  uint8_t AnimCounter = 0;
  uint8_t AnimLimit = 29;
  uint8_t WaveStep = 0;  // the weaving flyer's place on its wave, wrapping at 256
  int32_t BaseY = 0;     // the weaving flyer's centre line

  void Advance(int32_t moveCount) override;
  // Destroyed: sound, burst (weaving flyer and catapult) and score.
  void Die();

 private:
  void Move();
  void Shoot();
  TGameWorld& world_;
};

// An enemy's missile: 1 arrow, 2 rising arrow, 3 falling stone, 4 thrown stone.
class TWeaponSprite : public TImageSprite {
 public:
  TWeaponSprite(TSprite* parent, TGameWorld& world, int32_t x, const char* picture, uint8_t kind,
                int32_t damage, int32_t y);

  uint8_t ShotKind;
  int32_t ShotDamage;  // hit points taken from the dragon

  void Advance(int32_t moveCount) override;
  // Ends the shot; a stone bursts.
  void Die();

 private:
  TGameWorld& world_;
};

// sin(2 pi step / 256), read from the 256-step cosine table.
double WaveSine(uint8_t step);
