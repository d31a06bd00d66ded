#include "game/hero_weapon_sprite.h"

#include <array>

#include "engine/pictures/image_list.h"
#include "engine/sprites/sprite_engine.h"
#include "game/enemy_sprite.h"
#include "game/explosion_sprite.h"
#include "game/field_layers.h"
#include "game/game_world.h"

namespace {

struct ShotLook {
  const char* picture;
  const char* sound;
  uint16_t power;
};

constexpr std::array<ShotLook, 4> ShotLooks{{
    {"firepistol", "heroshot", 2},
    {"fireballbonus", "heroshot", 4},
    {"icepistol", "heroshot", 4},
    {"flashpistol", "manshot", 8},
}};

// A fire shot or fireball bursts in one of these, chosen at random.
constexpr std::array<const char*, 3> FireBursts{"fireballexplosion", "herokill", "enemykill"};

constexpr uint8_t FireballKind = 2;
constexpr int32_t BurstDrift = 4;
// Two patterns of five frames each.
constexpr uint8_t ShotCounterLimit = 9;
constexpr uint8_t FramesPerShotPattern = 5;

}  // namespace

THeroWeaponSprite::THeroWeaponSprite(TSprite* parent, TGameWorld& world, uint8_t kind, int32_t x,
                                     int32_t y)
    : TImageSprite(parent), ShotKind(kind), world_(world) {
  const ShotLook& look = ShotLooks.at(kind - 1U);
  ShotPower = look.power;
  SetPicture(*this, world.Images.Items.Find(look.picture));
  X = x;
  Y = y;
  SetZ(ZActors);
  PixelExact = false;
  FrameLoop = false;
  world.PlaySound(look.sound);
}

void THeroWeaponSprite::Advance(int32_t moveCount) {
  TImageSprite::Advance(moveCount);
  if (ShotKind != FireballKind) ShotCounter = ShotCounter < ShotCounterLimit ? ShotCounter + 1 : 0;
  FrameIndex = ShotCounter / FramesPerShotPattern;
  X += HeroShotSpeed;
  if (X >= FieldWidth || Y < 0 || Y >= FieldHeight) Kill();
  Collide();
}

void THeroWeaponSprite::HandleCollision(TSprite& other, bool& /*done*/) {
  auto* enemy = dynamic_cast<TFlyingEnemySprite*>(&other);
  if (!enemy) return;
  // The shot is spent on this enemy: a dead searcher ends the collision search.
  Kill();
  switch (ShotKind) {
    case 1:
    case 2:
      BurstOn(world_, *enemy,
              FireBursts.at(world_.Rng.Random(static_cast<int32_t>(FireBursts.size()))),
              BurstDrift);
      break;
    case 3:
      BurstOn(world_, *enemy, "iceexplosion", BurstDrift);
      break;
    case 4:
      BurstOn(world_, *enemy, "electroexplosion", BurstDrift);
      break;
    default:
      break;
  }
  // An enemy already destroyed this frame is still here and dies again, with its score.
  enemy->HitPoints -= ShotPower;
  if (enemy->HitPoints <= 0) enemy->Die();
}
