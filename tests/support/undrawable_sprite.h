// A sprite for tests of a field that cannot be drawn.
#pragma once

#include <stdexcept>

#include "engine/sprites/sprite.h"

// A sprite that cannot be drawn: every frame that draws the field fails.
class UndrawableSprite : public TSprite {
 public:
  explicit UndrawableSprite(TSprite* parent) : TSprite(parent) {
    X = 100;
    Y = 100;
    Width = 10;
    Height = 10;
  }
  void Render() override { throw std::runtime_error("the picture went away"); }
};
