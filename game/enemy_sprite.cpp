#include "game/enemy_sprite.h"

#include <array>
#include <cmath>
#include <numbers>

#include "engine/pictures/image_list.h"
#include "engine/sprites/sprite_engine.h"
#include "game/explosion_sprite.h"
#include "game/field_layers.h"
#include "game/game_world.h"

namespace {

struct EnemyKindTraits {
  const char* picture;
  int32_t hitPoints;
  uint16_t fireDivisor;
  uint8_t animLimit;
};

constexpr std::array<EnemyKindTraits, 8> Kinds{{
    {"enemy1", 10, 10, 29},
    {"enemy2", 10, 10, 29},
    {"enemy3", 20, 15, 39},
    {"enemy4", 5, 15, 29},
    {"enemy5", 5, 15, 29},
    {"enemy6", 5, 15, 29},
    {"enemy7", 5, 15, 29},
    {"enemy8", 15, 5, 29},
}};

constexpr int32_t RhythmLength = 100;
constexpr uint16_t ShootingPhase = 50;
constexpr int32_t ShotPauseBase = 200;
constexpr int32_t FramesPerPattern = 10;
constexpr int32_t WaveAmplitude = 50;
// Where archers and the catapult stand.
constexpr int32_t ArcherGround = 495;
constexpr int32_t LowArcherGround = 497;
constexpr int32_t CatapultGround = 498;
// The diving flyer's bottom starts here, just above the play area.
constexpr int32_t DiveStartBottom = 60;
constexpr int32_t StoneGround = 550;
constexpr int32_t EnemyBurstDrift = 4;
constexpr int32_t StoneBurstDrift = 3;

const std::array<double, 256>& CosineTable() {
  static const std::array<double, 256> table = [] {
    std::array<double, 256> t{};
    for (size_t i = 0; i < t.size(); ++i) t[i] = std::cos(2 * std::numbers::pi * i / 256.0);
    return t;
  }();
  return table;
}

}  // namespace

double WaveSine(uint8_t step) {
  return CosineTable()[static_cast<uint8_t>(step + 192)];
}

TFlyingEnemySprite::TFlyingEnemySprite(TSprite* parent, TGameWorld& world, uint16_t kind)
    : TImageSprite(parent), EnemyKind(kind), world_(world) {
  X = FieldWidth;
  Y = world.Rng.Random(350) + 50;
  SetZ(ZActors);
  PixelExact = false;
  FrameLoop = false;
  FrameCount = 3;
  FrameStart = 0;
  if (kind < 1 || kind > Kinds.size()) return;
  const EnemyKindTraits& traits = Kinds.at(kind - 1U);
  TPictureCollectionItem& picture = world.Images.Items.Find(traits.picture);
  HitPoints = traits.hitPoints;
  FireDivisor = traits.fireDivisor;
  AnimLimit = traits.animLimit;
  switch (kind) {
    case 2:
      X = world.Rng.Random(700) + 100;
      Y = DiveStartBottom - picture.Height();
      break;
    case 3:
      BaseY = Y;
      break;
    case 4:
    case 5:
    case 6:
      Y = ArcherGround;
      break;
    case 7:
      Y = LowArcherGround;
      break;
    case 8:
      Y = CatapultGround;
      break;
    default:
      break;
  }
  ScoreValue = static_cast<uint16_t>(HitPoints);
  FireDelay = static_cast<uint16_t>(world.Rng.Random(ShotPauseBase / FireDivisor));
  SetPicture(*this, picture);
}

void TFlyingEnemySprite::Advance(int32_t moveCount) {
  TImageSprite::Advance(moveCount);
  // Flyers beat their wings all the time; the others animate only while they shoot.
  if (Phase < ShootingPhase || EnemyKind == 1 || EnemyKind == 2) {
    AnimCounter = AnimCounter == AnimLimit ? 0 : AnimCounter + 1;
  }
  FrameIndex = AnimCounter / FramesPerPattern;
  Move();
  if (X < -Width) Kill();
  Phase = Phase == 0 ? RhythmLength : Phase - 1;
  if (FireDelay > 0) {
    --FireDelay;
    return;
  }
  if (Phase < ShootingPhase) Shoot();
  FireDelay = ShotPauseBase / FireDivisor;
}

void TFlyingEnemySprite::Move() {
  switch (EnemyKind) {
    case 1:
      X -= EnemyFlySpeed;
      break;
    case 2:
      X -= 3;
      Y += 2;
      break;
    case 3:
      X -= 3;
      ++WaveStep;
      Y = BaseY + static_cast<int32_t>(RoundHalfEven(WaveAmplitude * WaveSine(WaveStep)));
      break;
    case 4:
    case 5:
    case 6:
    case 7:
    case 8:
      X -= 3;
      break;
    default:
      break;
  }
}

void TFlyingEnemySprite::Shoot() {
  TSprite& engine = world_.Engine;
  switch (EnemyKind) {
    case 1:
      NewSprite<TWeaponSprite>(engine, world_, X, "arrow", 1, 2, Y + 13);
      break;
    case 2:
      NewSprite<TWeaponSprite>(engine, world_, X, "arrow", 1, 2, Y + 103);
      break;
    case 3:
      NewSprite<TWeaponSprite>(engine, world_, X + 21, "burnstone", 3, 10, Y + 80);
      break;
    case 4:
    case 5:
    case 6:
    case 7:
      NewSprite<TWeaponSprite>(engine, world_, X - 40, "arrow2", 2, 2, Y - 20);
      break;
    case 8:
      NewSprite<TWeaponSprite>(engine, world_, X + 64, "burnstone2", 4, 10, Y + 16);
      break;
    default:
      break;
  }
}

void TFlyingEnemySprite::Die() {
  Kill();
  world_.PlaySound(EnemyKind == 8 ? "catapultdie" : "mandie");
  if (EnemyKind == 3 || EnemyKind == 8) BurstOn(world_, *this, "enemykill", EnemyBurstDrift);
  world_.Play.Score = static_cast<uint16_t>(world_.Play.Score + ScoreValue);
}

TWeaponSprite::TWeaponSprite(TSprite* parent, TGameWorld& world, int32_t x, const char* picture,
                             uint8_t kind, int32_t damage, int32_t y)
    : TImageSprite(parent), ShotKind(kind), ShotDamage(damage), world_(world) {
  SetPicture(*this, world.Images.Items.Find(picture));
  X = x;
  Y = y;
  SetZ(ZActors);
  PixelExact = false;
  if (kind > 2) {
    // Stones tumble.
    FrameLoop = true;
    FrameCount = 4;
    FrameSpeed = 1;
    world.PlaySound("catapult");
  } else {
    world.PlaySound("manshot");
  }
}

void TWeaponSprite::Advance(int32_t moveCount) {
  TImageSprite::Advance(moveCount);
  const EnemyShotStep step = EnemyShotStepOf(ShotKind);
  X += step.dx;
  Y += step.dy;
  if (ShotKind == 3 && Y > StoneGround) Die();
  if (X < -Width || Y > FieldHeight || Y < 0) Kill();
}

void TWeaponSprite::Die() {
  Kill();
  if (ShotKind == 3 || ShotKind == 4) {
    BurstOn(world_, *this, "enemykill", StoneBurstDrift);
    world_.PlaySound("herodie");
  }
}
