#include "game/hero_sprite.h"

#include <algorithm>

#include "engine/input/game_input.h"
#include "engine/pictures/image_list.h"
#include "engine/sprites/sprite_engine.h"
#include "game/bonus_sprites.h"
#include "game/enemy_sprite.h"
#include "game/explosion_sprite.h"
#include "game/field_layers.h"
#include "game/game_world.h"
#include "game/hero_weapon_sprite.h"
#include "game/scenery.h"

namespace {

// The box the dragon flies in.
constexpr int32_t MinX = 5;
constexpr int32_t MaxRight = 795;
constexpr int32_t MinY = 70;
constexpr int32_t MaxBottom = 560;
// The world scrolls past: the dragon slides left a pixel a frame.
constexpr int32_t WorldDrift = 1;
constexpr double DriftStep = 0.2;
constexpr int32_t WingPatterns = 4;
// The tail hangs this far left of and below the dragon's corner.
constexpr int32_t TailOffsetX = -49;
constexpr int32_t TailOffsetY = 78;
// Shots leave at the dragon's right edge, this far below its top.
constexpr int32_t MuzzleY = 44;
constexpr int32_t ShotPauseBase = 200;
constexpr int32_t LavaDamage = 10;
constexpr int32_t BurstDrift = 4;
constexpr uint16_t PointsBonus = 100;
constexpr GameMilliseconds TimeBonus = 10 * MillisecondsPerSecond;

// The drift eases back toward standing still by one step.
void Settle(double& drift) {
  if (drift > 0) {
    drift -= DriftStep;
  } else if (drift < 0) {
    drift += DriftStep;
  }
}

// What is asked of one end of an axis: the limit the dragon must be short of to move that way,
// the held key, and the pointer's step (spent by the move).
struct AxisEnd {
  int32_t limit;
  bool held;
  uint8_t& pointerStep;
};

// Moves one coordinate a step toward the lower or the higher end, the lower winning when both are
// asked for, and builds the drift that way; with neither, the drift settles.
void SteerAxis(int32_t& position, const AxisEnd& lower, const AxisEnd& higher, double& drift) {
  const auto step = [](const AxisEnd& end) {
    const int32_t pixels = end.pointerStep > 0 ? end.pointerStep : HeroStep;
    end.pointerStep = 0;
    return pixels;
  };
  if (position > lower.limit && (lower.held || lower.pointerStep > 0)) {
    position -= step(lower);
    if (drift > -MaxDrift) drift -= DriftStep;
  } else if (position < higher.limit && (higher.held || higher.pointerStep > 0)) {
    position += step(higher);
    if (drift < MaxDrift) drift += DriftStep;
  } else {
    Settle(drift);
  }
}

int32_t Rounded(double drift) {
  return static_cast<int32_t>(RoundHalfEven(drift));
}

}  // namespace

THeroSprite::THeroSprite(TSprite* parent, TGameWorld& world) : TImageSprite(parent), world_(world) {
  SetPicture(*this, world.Images.Items.Find("hero"));
  FrameCount = WingPatterns;
  FrameStart = 0;
  FrameLoop = false;
  FrameSpeed = 1;
  X = HeroStartX;
  Y = HeroStartY;
  SetZ(ZActors);
  PixelExact = false;
  Visible = false;
  tail_ = &NewSprite<TTailSprite>(*parent, world, *this);
}

bool THeroSprite::Shielded() const {
  const TShieldSprite* shield = world_.Shield.Get();
  return shield && shield->Visible;
}

void THeroSprite::SetBodyVisible(bool visible) {
  Visible = visible;
  if (TTailSprite* tail = Tail()) tail->Visible = visible;
}

void THeroSprite::RestoreStandardWeapon() {
  FireRate = StandardFireRate;
  WeaponKind = StandardWeapon;
}

void THeroSprite::Advance(int32_t moveCount) {
  if (!Visible) return;
  // The dragon moves before its tail, so this starts the frame's contacts of both.
  contacts_.clear();
  TImageSprite::Advance(moveCount);
  X -= WorldDrift;
  FlapCounter = FlapCounter < WingPatterns * FlapDivisor - 1 ? FlapCounter + 1 : 0;
  FrameIndex = FlapCounter / FlapDivisor;
  if (TShieldSprite* shield = world_.Shield.Get()) shield->FrameIndex = FrameIndex;
  if (HitPoints <= 0) {
    Die();
    return;
  }
  SteerHorizontally();
  SteerVertically();
  X += Rounded(world_.Play.DriftX);
  Y += Rounded(world_.Play.DriftY);
  X = std::min(std::max(X, MinX), MaxRight - Width);
  Y = std::min(std::max(Y, MinY), MaxBottom - Height);
  FollowBody();
  Fire();
  Collide();
}

void THeroSprite::SteerHorizontally() {
  const TGameInput& input = world_.Input;
  PointerSteering& pointer = world_.Pointer;
  SteerAxis(X, {MinX, input.Held(isLeft), pointer.PointerStepLeft},
            {MaxRight - Width, input.Held(isRight), pointer.PointerStepRight}, world_.Play.DriftX);
}

void THeroSprite::SteerVertically() {
  const TGameInput& input = world_.Input;
  PointerSteering& pointer = world_.Pointer;
  SteerAxis(Y, {MinY, input.Held(isUp), pointer.PointerStepUp},
            {MaxBottom - Height, input.Held(isDown), pointer.PointerStepDown}, world_.Play.DriftY);
}

void THeroSprite::FollowBody() {
  TTailSprite* tail = Tail();
  if (tail) {
    tail->X = X + TailOffsetX;
    tail->Y = Y + TailOffsetY;
  }
  TShieldSprite* shield = world_.Shield.Get();
  if (shield && shield->Visible) {
    shield->X = X - (tail ? tail->Width : 0);
    shield->Y = Y;
  }
}

void THeroSprite::Fire() {
  if (FireCooldown > 0) --FireCooldown;
  if (!(world_.Input.Held(isButton1) || world_.Pointer.PointerFire) || FireCooldown != 0) return;
  if (WeaponKind >= 1 && WeaponKind <= 4) {
    NewSprite<THeroWeaponSprite>(*Parent(), world_, static_cast<uint8_t>(WeaponKind), X + Width,
                                 Y + MuzzleY);
  }
  FireCooldown = ShotPauseBase / FireRate;
}

bool THeroSprite::FirstContact(TSprite& other) {
  for (const TSpriteRef<TSprite>& met : contacts_) {
    if (met == &other) return false;
  }
  contacts_.emplace_back(other);
  return true;
}

void THeroSprite::HandleCollision(TSprite& other, bool& /*done*/) {
  if (!Visible || !FirstContact(other)) return;
  const bool shielded = Shielded();
  if (dynamic_cast<TReshetkaSprite*>(&other) && !shielded) {
    Die();
  } else if (auto* shot = dynamic_cast<TWeaponSprite*>(&other)) {
    if (!shielded) HitPoints -= shot->ShotDamage;
    BurstOn(world_, *shot, "dragondamage", BurstDrift);
    shot->Die();
  } else if (auto* enemy = dynamic_cast<TFlyingEnemySprite*>(&other)) {
    if (!shielded) HitPoints -= enemy->HitPoints;
    enemy->Die();
  } else if (auto* volcano = dynamic_cast<TVolcano*>(&other); volcano && volcano->Lava) {
    // Every frame of contact burns.
    if (!shielded) HitPoints -= LavaDamage;
  } else if (auto* bonus = dynamic_cast<TBonusSprite*>(&other)) {
    TakeBonus(*bonus);
  }
  if (HitPoints <= 0) Die();
}

void THeroSprite::TakeBonus(TBonusSprite& bonus) {
  PlayState& play = world_.Play;
  bonus.Kill();
  world_.PlaySound("bonus");
  if (TBonusIndicatorSprite* indicator = world_.BonusIndicator.Get()) indicator->Visible = true;
  switch (bonus.BonusKind) {
    case bkWeapon:
      play.WeaponTime = BonusTime;
      WeaponKind = bonus.BonusWeapon;
      FireRate = BonusFireRate;
      break;
    case bkDestroyAll: {
      play.NoticeTime = NoticeTime;
      TSprite& engine = world_.Engine;
      const int32_t count = engine.ChildCount();
      for (int32_t i = 0; i < count; ++i) {
        if (auto* enemy = dynamic_cast<TFlyingEnemySprite*>(engine.Child(i))) enemy->Die();
      }
      break;
    }
    case bkShield:
      play.ShieldTime = BonusTime;
      if (TShieldSprite* shield = world_.Shield.Get()) {
        shield->Visible = true;
        shield->X = X - (Tail() ? Tail()->Width : 0);
        shield->Y = Y;
      }
      break;
    case bkExtraLife:
      play.NoticeTime = NoticeTime;
      play.Lives = std::min(play.Lives + 1, MaxLives);
      break;
    case bkPoints:
      play.NoticeTime = NoticeTime;
      play.Score = static_cast<uint16_t>(play.Score + PointsBonus);
      break;
    case bkTime:
      play.NoticeTime = NoticeTime;
      play.LevelElapsed = play.LevelElapsed > TimeBonus ? play.LevelElapsed - TimeBonus : 0;
      break;
    default:
      break;
  }
}

void THeroSprite::Die() {
  PlayState& play = world_.Play;
  SetBodyVisible(false);
  world_.Report(TGameEvent::DragonDied);
  play.DeathDelay = DyingFrames;
  if (TBonusIndicatorSprite* indicator = world_.BonusIndicator.Get()) indicator->Visible = false;
  play.ShieldTime = 0;
  play.WeaponTime = 0;
  if (TShieldSprite* shield = world_.Shield.Get()) shield->Visible = false;
  world_.PlaySound("herodie");
  BurstOn(world_, *this, "herokill", BurstDrift);
  --play.Lives;
}

TTailSprite::TTailSprite(TSprite* parent, TGameWorld& world, THeroSprite& hero)
    : TImageSprite(parent), hero_(hero) {
  SetPicture(*this, world.Images.Items.Find("tail"));
  SetZ(ZActors);
  Visible = false;
  PixelExact = false;
  X = hero.X + TailOffsetX;
  Y = hero.Y + TailOffsetY;
}

void TTailSprite::HandleCollision(TSprite& other, bool& done) {
  if (THeroSprite* hero = hero_.Get()) hero->HandleCollision(other, done);
}

void TTailSprite::Advance(int32_t moveCount) {
  TImageSprite::Advance(moveCount);
  Collide();
}

TShieldSprite::TShieldSprite(TSprite* parent, TGameWorld& world) : TImageSprite(parent) {
  SetPicture(*this, world.Images.Items.Find("shield"));
  FrameCount = 4;
  FrameLoop = false;
  SetZ(ZActors);
  Visible = false;
  PixelExact = false;
}
