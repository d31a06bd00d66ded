// The landscape: the still sky, three layers of endless mountain strips, volcanoes and lava pools
// on the middle layer, trees in front, and the grate that guards the left edge of the field.
#pragma once

#include <cstdint>

#include "engine/sprites/image_sprite.h"

struct TGameWorld;

// The sky, day or night. It does not move; the level loop switches it.
class TGameBack : public TImageSprite {
 public:
  TGameBack(TSprite* parent, TGameWorld& world, bool day);
  bool Day() const { return day_; }
  // Shows "dayback" for day, "nightback" for night.
  void SetDay(bool day);

 private:
  TGameWorld& world_;
  bool day_ = true;
};

// One copy of a scenery strip; each layer is two copies side by side, one always on screen.
class TMountain : public TImageSprite {
 public:
  TMountain(TSprite* parent, TGameWorld& world, const char* picture, uint16_t speed, int32_t z,
            int32_t y, int32_t x);

  uint16_t StripSpeed;

  void Advance(int32_t moveCount) override;

 private:
  // A middle strip that has just moved behind its twin gets new volcanoes and lava.
  void PlaceVolcanoes();
  TGameWorld& world_;
};

// A volcano, or a lava pool (which hurts the dragon), riding on the middle strip.
class TVolcano : public TImageSprite {
 public:
  TVolcano(TSprite* parent, TGameWorld& world, bool lava, int32_t x);

  uint8_t AnimCounter = 0;
  bool Lava;

  void Advance(int32_t moveCount) override;
};

// A tree passing in front of the near strip.
class TGreenTree : public TImageSprite {
 public:
  TGreenTree(TSprite* parent, TGameWorld& world);
  void Advance(int32_t moveCount) override;
};

// The grate at the left edge: slides and bobs, kills the dragon on touch, and is drawn as a
// column of six pictures while colliding as one 64 x 450 box.
class TReshetkaSprite : public TImageSprite {
 public:
  TReshetkaSprite(TSprite* parent, TGameWorld& world);

  bool MovingRight = false;
  bool MovingDown = true;
  // Twice the position, so that the grate moves at half a pixel per frame.
  int32_t GrateX2 = 0;
  int32_t GrateY2 = 166;

  void Render() override;
  void Advance(int32_t moveCount) override;
};
