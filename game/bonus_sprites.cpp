#include "game/bonus_sprites.h"

#include <algorithm>

#include "engine/pictures/image_list.h"
#include "engine/sprites/sprite_engine.h"
#include "game/field_layers.h"
#include "game/game_world.h"
#include "game/hero_sprite.h"

namespace {

constexpr int32_t BonusSpeed = 3;
constexpr uint8_t BonusCounterLimit = 39;
constexpr int32_t FramesPerPattern = 10;
// Bonuses enter between the status bar and the ground.
constexpr int32_t BonusTop = 70;
constexpr int32_t BonusSpan = 490;
constexpr int32_t IndicatorX = 715;
constexpr int32_t IndicatorY = 28;
constexpr int32_t LivesX = 310;
constexpr int32_t LivesY = 38;
// Life i (from 1) stands at LifeOrigin + LifePitch * i.
constexpr int32_t LifeOrigin = 265;
constexpr int32_t LifePitch = 41;
constexpr int32_t ScaleX = 453;
constexpr int32_t ScaleY = 40;
constexpr int32_t ScalePatternWidth = 50;
constexpr int32_t ScaleLength = 194;

TSurface* Target(const TSprite& sprite) {
  return sprite.Root() ? sprite.Root()->TargetSurface() : nullptr;
}

}  // namespace

TBonusSprite::TBonusSprite(TSprite* parent, TGameWorld& world)
    : TImageSprite(parent), world_(world) {
  // Kinds 7 and 8 are weapons too: weapons come three times as often as anything else.
  BonusKind = static_cast<uint8_t>(world.Rng.Random(8) + 1);
  if (BonusKind > bkTime) BonusKind = bkWeapon;
  BonusWeapon = static_cast<uint8_t>(world.Rng.Random(3) + 2);
  TPictureCollectionItem& picture = world.Images.Items.Find("bonus");
  SetPicture(*this, picture);
  PixelExact = false;
  X = FieldWidth;
  Y = world.Rng.Random(BonusSpan - Height) + BonusTop;
  SetZ(ZBonuses);
  FrameCount = 4;
  FrameIndex = 0;
  FrameStart = 0;
  FrameLoop = false;
}

void TBonusSprite::Advance(int32_t moveCount) {
  TImageSprite::Advance(moveCount);
  AnimCounter = AnimCounter == BonusCounterLimit ? 0 : AnimCounter + 1;
  FrameIndex = AnimCounter / FramesPerPattern;
  if (X <= -Width) Kill();
  X -= BonusSpeed;
}

void TBonusSprite::Render() {
  TImageSprite::Render();
  TSurface* target = Target(*this);
  if (!target) return;
  const TPictureCollection& pictures = world_.Images.Items;
  if (BonusKind == bkWeapon) pictures[BonusWeapon + WeaponIconBase].Draw(*target, X, Y, 0);
  pictures.Find("bonusindicator").Draw(*target, X, Y, 0);
}

TBonusIndicatorSprite::TBonusIndicatorSprite(TSprite* parent, TGameWorld& world)
    : TImageSprite(parent), world_(world) {
  SetPicture(*this, world.Images.Items.Find("bonusindicator"));
  X = IndicatorX;
  Y = IndicatorY;
  SetZ(ZIndicators);
  Visible = false;
}

void TBonusIndicatorSprite::Render() {
  TSurface* target = Target(*this);
  if (!target) return;
  const PlayState& play = world_.Play;
  const THeroSprite* hero = world_.Hero.Get();
  if (hero && hero->WeaponKind > 1 && play.WeaponTime > play.ShieldTime) {
    world_.Images.Items[hero->WeaponKind + WeaponIconBase].Draw(*target, X, Y, 0);
  }
  if (play.ShieldTime > 0 || play.NoticeTime > 0) {
    world_.Images.Items.Find("bonusindicator").Draw(*target, X, Y, 0);
  }
}

TLivesIndicator::TLivesIndicator(TSprite* parent, TGameWorld& world)
    : TImageSprite(parent), world_(world) {
  X = LivesX;
  Y = LivesY;
  SetZ(ZIndicators);
  // No picture of its own; it still needs a size to be drawn: the row of lives.
  const TPictureCollectionItem& life = world.Images.Items.Find("life");
  Width = LifePitch * (MaxLives - 1) + life.Width();
  Height = life.Height();
}

void TLivesIndicator::Render() {
  TSurface* target = Target(*this);
  if (!target) return;
  const TPictureCollectionItem& life = world_.Images.Items.Find("life");
  const int32_t lives = std::min(world_.Play.Lives, MaxLives);
  for (int32_t i = 1; i <= lives; ++i) life.Draw(*target, LifeOrigin + LifePitch * i, LivesY, 0);
}

TScaleSprite::TScaleSprite(TSprite* parent, TGameWorld& world)
    : TImageSprite(parent), world_(world) {
  TPictureCollectionItem& picture = world.Images.Items.Find("scale");
  picture.PatternWidth = ScalePatternWidth;
  SetPicture(*this, picture);
  X = ScaleX;
  Y = ScaleY;
  SetZ(ZIndicators);
  FrameLoop = false;
  FrameIndex = 0;
}

int32_t TScaleSprite::Columns() const {
  // Whole seconds of the level clock and of the level's length.
  const int32_t elapsed = world_.Play.LevelElapsed / MillisecondsPerSecond;
  const int32_t length = world_.Play.LevelLength / MillisecondsPerSecond;
  if (length <= 0) return 1;
  return static_cast<int32_t>(static_cast<double>(elapsed) / length * ScaleLength) + 1;
}

void TScaleSprite::Render() {
  TSurface* target = Target(*this);
  if (!target || !Image) return;
  const int32_t columns = Columns();
  for (int32_t i = 0; i < columns; ++i) Image->Draw(*target, X + i, Y, i);
}

TStatusSprite::TStatusSprite(TSprite* parent, TGameWorld& world) : TImageSprite(parent) {
  SetPicture(*this, world.Images.Items.Find("statusbar"));
  X = 0;
  Y = 0;
  SetZ(ZStatusBar);
}
