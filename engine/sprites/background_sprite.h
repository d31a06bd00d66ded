// A sprite that tiles a map of cells with patterns of one picture (the menu background): each
// cell shows a pattern (or nothing when negative) and has a solid flag for collisions; with
// Wrap the map repeats over the whole screen.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "engine/drawing/rect.h"
#include "engine/sprites/sprite.h"

class TPictureCollectionItem;

class TBackgroundSprite : public TSprite {
 public:
  // Does not collide unless told to.
  explicit TBackgroundSprite(TSprite* parent);

  TPictureCollectionItem* Image = nullptr;  // not owned
  bool Wrap = false;

  int32_t MapColumns() const { return mapColumns_; }
  int32_t MapRows() const { return mapRows_; }
  // A new size (both 0 when either is not above 0) with every cell showing pattern 0 and solid;
  // nothing when the size is unchanged.
  void ResizeMap(int32_t columns, int32_t rows);
  // The cell's pattern, or -1 outside the map.
  int32_t Chip(int32_t column, int32_t row) const;
  void SetChip(int32_t column, int32_t row, int32_t pattern);
  // The cell's solid flag, or false outside the map.
  bool Solid(int32_t column, int32_t row) const;
  void SetSolid(int32_t column, int32_t row, bool solid);

  void Render() override;
  // With Wrap the whole screen; else the map's cells from the sprite's position; nothing without
  // an image.
  TRect Bounds() const override;
  // A solid cell under the other sprite's bounds.
  bool Overlaps(const TSprite& other) const override;
  // The part of the engine's surface that this frame's DrawAll covers with the picture's own
  // pixels: for a map of one cell, not wrapped, at or right of and below the surface's corner,
  // whose pattern has no transparent pixel (and is decoded); none otherwise.
  std::optional<TRect> SolidDrawnRect() const;

 private:
  bool Inside(int32_t column, int32_t row) const;
  // Named apart from TSprite::Cell, which a safe reference to a background needs.
  size_t CellIndex(int32_t column, int32_t row) const;

  std::vector<uint8_t> cellSolid_;
  std::vector<int32_t> cellPatterns_;
  int32_t mapColumns_ = 0;
  int32_t mapRows_ = 0;
};
