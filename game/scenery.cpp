#include "game/scenery.h"

#include "engine/pictures/image_list.h"
#include "engine/sprites/sprite_engine.h"
#include "game/field_layers.h"
#include "game/game_world.h"

namespace {

constexpr int32_t LavaTop = 427;
constexpr int32_t VolcanoTop = 440;
constexpr int32_t VolcanoSpeed = 2;
constexpr uint8_t VolcanoCounterLimit = 29;
constexpr int32_t FramesPerPattern = 10;
constexpr int32_t TreeSpeed = 3;
constexpr int32_t TallTreeTop = 437;
constexpr int32_t ShortTreeTop = 512;
// Where volcanoes and lava stand on a wrapped middle strip, from its left edge.
constexpr int32_t LavaOffset = 403;
constexpr int32_t VolcanoOffset = 334;
// On the fifth levels' strip: six slots this far apart, lava beside each volcano.
constexpr int32_t SlotPitch = 157;
constexpr int32_t SlotLavaOffset = 69;
constexpr int32_t Slots = 6;
// The grate's column and collision box.
constexpr int32_t GratePieces = 6;
constexpr int32_t GratePiecePitch = 75;
constexpr int32_t GrateWidth = 64;
constexpr int32_t GrateHeight = 450;
constexpr int32_t GrateLeftmostX2 = -60;
constexpr int32_t GrateTopY2 = 166;
constexpr int32_t GrateBottomY2 = 186;

}  // namespace

TGameBack::TGameBack(TSprite* parent, TGameWorld& world, bool day)
    : TImageSprite(parent), world_(world) {
  X = 0;
  Y = FieldTop;
  SetZ(ZBackground);
  SetDay(day);
}

void TGameBack::SetDay(bool day) {
  day_ = day;
  SetPicture(*this, world_.Images.Items.Find(day ? "dayback" : "nightback"));
}

TMountain::TMountain(TSprite* parent, TGameWorld& world, const char* picture, uint16_t speed,
                     int32_t z, int32_t y, int32_t x)
    : TImageSprite(parent), StripSpeed(speed), world_(world) {
  Place(*this, world.Images.Items.Find(picture), x, y, z);
}

void TMountain::Advance(int32_t moveCount) {
  TImageSprite::Advance(moveCount);
  X -= world_.Play.ScrollFactor * StripSpeed;
  if (X + Width >= 0) return;
  // Off the screen at the left: the copy goes behind its twin.
  X += 2 * Width;
  if (Z() == ZMiddleStrip) PlaceVolcanoes();
}

void TMountain::PlaceVolcanoes() {
  TRandom& rng = world_.Rng;
  TSprite& engine = world_.Engine;
  if (world_.Play.Level % 5 != 0) {
    if (rng.Random(3) < 2) {
      if (rng.Random(2) == 1) NewSprite<TVolcano>(engine, world_, true, X + LavaOffset);
      NewSprite<TVolcano>(engine, world_, false, X + VolcanoOffset);
    }
    return;
  }
  for (int32_t i = 0; i < Slots; ++i) {
    if (rng.Random(3) >= 2) continue;
    const int32_t slot = X + SlotPitch * i;
    if (rng.Random(2) == 0) NewSprite<TVolcano>(engine, world_, true, slot + SlotLavaOffset);
    NewSprite<TVolcano>(engine, world_, false, slot);
  }
}

TVolcano::TVolcano(TSprite* parent, TGameWorld& world, bool lava, int32_t x)
    : TImageSprite(parent), Lava(lava) {
  Place(*this, world.Images.Items.Find(lava ? "lava" : "volcano"), x, lava ? LavaTop : VolcanoTop,
        ZVolcanoes);
  FrameLoop = false;
  FrameCount = 3;
  FrameIndex = 0;
}

void TVolcano::Advance(int32_t moveCount) {
  TImageSprite::Advance(moveCount);
  AnimCounter = AnimCounter == VolcanoCounterLimit ? 0 : AnimCounter + 1;
  FrameIndex = AnimCounter / FramesPerPattern;
  X -= VolcanoSpeed;
  if (X < -Width) Kill();
}

TGreenTree::TGreenTree(TSprite* parent, TGameWorld& world) : TImageSprite(parent) {
  const bool tall = world.Rng.Random(2) == 1;
  Place(*this, world.Images.Items.Find(tall ? "tree1" : "tree2"), FieldWidth,
        tall ? TallTreeTop : ShortTreeTop, ZTrees);
}

void TGreenTree::Advance(int32_t /*moveCount*/) {
  X -= TreeSpeed;
  if (X <= -Width) Kill();
}

TReshetkaSprite::TReshetkaSprite(TSprite* parent, TGameWorld& world) : TImageSprite(parent) {
  Image = &world.Images.Items.Find("reshetka");
  X = GrateX2 / 2;
  Y = GrateY2 / 2;
  SetZ(ZActors);
  FrameLoop = false;
  Wrap = true;
  PixelExact = false;
  // It hits as the whole column, whatever one picture's size.
  Width = GrateWidth;
  Height = GrateHeight;
}

void TReshetkaSprite::Advance(int32_t /*moveCount*/) {
  if (MovingRight) {
    if (++GrateX2 == 0) MovingRight = false;
  } else {
    if (--GrateX2 == GrateLeftmostX2) MovingRight = true;
  }
  if (MovingDown) {
    if (++GrateY2 == GrateBottomY2) MovingDown = false;
  } else {
    if (--GrateY2 == GrateTopY2) MovingDown = true;
  }
  X = GrateX2 / 2;
  Y = GrateY2 / 2;
}

void TReshetkaSprite::Render() {
  if (!Image || !Root() || !Root()->TargetSurface()) return;
  for (int32_t i = 0; i < GratePieces; ++i) {
    Image->Draw(*Root()->TargetSurface(), X, Y + GratePiecePitch * i, 0);
  }
}
