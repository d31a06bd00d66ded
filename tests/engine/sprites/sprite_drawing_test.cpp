#include <gtest/gtest.h>

#include <optional>
#include <span>
#include <string>
#include <vector>

#include "engine/pictures/image_archive.h"
#include "engine/pictures/image_list.h"
#include "engine/sprites/background_sprite.h"
#include "engine/sprites/image_sprite.h"
#include "engine/sprites/sprite_engine_component.h"
#include "tests/support/headless.h"

namespace {

constexpr uint32_t kKey = 0xFF00FF;
constexpr uint32_t kBack = 0x000007;

// A strip of `count` patterns of w x h, pattern i filled with colour 0x10 * (i + 1).
TPicture Strip(int count, int w, int h) {
  TPicture picture(count * w, h);
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < count * w; ++x)
      picture.Pixel(x, y) = 0x10u * static_cast<uint32_t>(x / w + 1);
  }
  return picture;
}

uint32_t PatternColour(int i) {
  return 0x10u * static_cast<uint32_t>(i + 1);
}

ImageArchiveItem Item(std::string name, TPicture picture, int32_t w, int32_t h) {
  ImageArchiveItem item;
  item.Name = std::move(name);
  item.Picture = std::move(picture);
  item.PatternWidth = w;
  item.PatternHeight = h;
  item.TransparentColor = 0xFF00FF;
  return item;
}

class SpriteDrawingTest : public ::testing::Test {
 protected:
  void SetUp() override {
    sprites.SetDrawSurface(&surface);
    images.SetDrawSurface(&surface);
    surface.StartUp();
    TPicture halfOpaque(4, 4);
    for (int y = 0; y < 4; ++y) {
      for (int x = 0; x < 4; ++x) halfOpaque.Pixel(x, y) = x < 2 ? 0x123456 : kKey;
    }
    images.LoadFromBytes(
        WriteImageArchive({Item("frames", Strip(4, 2, 2), 2, 2),
                           Item("cells", Strip(2, 4, 4), 4, 4), Item("half", halfOpaque, 4, 4)}));
    Back().Fill(kBack);
  }
  void OneByOne() {
    TImageSprite& sprite = NewSprite<TImageSprite>(Engine());
    sprite.Width = 1;
    sprite.Height = 1;
  }
  TSurface& Back() { return *surface.BackBuffer(); }
  TSpriteEngine& Engine() { return sprites.Root(); }
  std::vector<uint32_t> BackPixels() { return {Back().Pixels(), Back().Pixels() + 800 * 600}; }
  // A frame that skips clearing `covered` (over whatever the surface held) must show what a frame
  // that clears everything shows.
  void ExpectClearingAllButToGiveTheFullClearsPicture(const TRect& covered) {
    Back().Fill(0);
    sprites.DrawAll();
    const std::vector<uint32_t> cleared = BackPixels();
    Back().Fill(0xABCDEF);
    Back().FillExcept(0, std::span(&covered, 1));
    sprites.DrawAll();
    EXPECT_EQ(BackPixels(), cleared);
  }

  platform::headless::HeadlessPlatform machine = MakeHeadlessPlatform();
  TDrawSurface surface{machine.windowImpl, machine.text()};
  TSpriteEngineComponent sprites;
  TImageList images;
};

TEST_F(SpriteDrawingTest, TheEngineFollowsTheDrawingSurface) {
  EXPECT_EQ(Engine().TargetSurface(), surface.BackBuffer());
  EXPECT_EQ(Engine().ScreenRect, (TRect{0, 0, 800, 600}));
  EXPECT_EQ(Engine().Width, 800);
  OneByOne();
  sprites.DrawAll();
  EXPECT_EQ(Engine().DrawnCount(), 1);

  surface.ShutDown();
  EXPECT_EQ(Engine().TargetSurface(), nullptr);
  EXPECT_EQ(Engine().ScreenRect, (TRect{0, 0, 800, 600}));  // kept
  OneByOne();
  sprites.DrawAll();  // the surface is down: nothing happens
  EXPECT_EQ(Engine().DrawnCount(), 1);

  surface.StartUp();  // as after a display-mode switch
  EXPECT_EQ(Engine().TargetSurface(), surface.BackBuffer());
  sprites.DrawAll();
  EXPECT_EQ(Engine().DrawnCount(), 2);
}

TEST(SpriteEngineComponentDetach, AComponentOutlivingItsSurfaceLetsGo) {
  platform::headless::HeadlessPlatform machine = MakeHeadlessPlatform();
  TSpriteEngineComponent sprites;
  {
    TDrawSurface surface(machine.windowImpl, machine.text());
    sprites.SetDrawSurface(&surface);
    surface.StartUp();
  }
  EXPECT_EQ(sprites.DrawSurface(), nullptr);
  EXPECT_EQ(sprites.Root().TargetSurface(), nullptr);
  sprites.DrawAll();
}

TEST_F(SpriteDrawingTest, AnImageSpriteDrawsItsCurrentPatternCentredInItsBounds) {
  TImageSprite& sprite = NewSprite<TImageSprite>(Engine());
  sprite.Image = &images.Items.Find("frames");
  sprite.X = 10;
  sprite.Y = 20;
  sprite.Width = 6;
  sprite.Height = 4;
  sprite.FrameStart = 1;
  sprite.FrameIndex = 2;
  EXPECT_EQ(sprite.PlacedRect(), (TRect{12, 21, 14, 23}));
  sprites.DrawAll();
  EXPECT_EQ(Back().Pixel(12, 21), PatternColour(3));
  EXPECT_EQ(Back().Pixel(13, 22), PatternColour(3));
  EXPECT_EQ(Back().Pixel(11, 21), kBack);
  EXPECT_EQ(Back().Pixel(14, 22), kBack);

  Back().Fill(kBack);
  sprite.FrameIndex = 3;  // pattern 4 does not exist: nothing is drawn, yet it counts as drawn
  sprites.DrawAll();
  EXPECT_EQ(Back().Pixel(12, 21), kBack);
  EXPECT_EQ(Engine().DrawnCount(), 1);
}

// A frame may skip clearing what a solid sprite covers: the rectangle named must be exactly what
// its drawing overwrites, so that clearing the rest gives the picture a full clear gives.
TEST_F(SpriteDrawingTest, ASolidSpriteNamesTheRectItsDrawingOverwrites) {
  TImageSprite& holder = NewSprite<TImageSprite>(Engine());
  TImageSprite& sprite = NewSprite<TImageSprite>(holder);
  sprite.Width = 4;
  sprite.Height = 4;
  struct Case {
    const char* picture;
    int32_t x, y;
    bool visible, holderVisible;
    std::optional<TRect> covered;
  };
  const Case cases[] = {
      {"cells", 10, 20, true, true, TRect{10, 20, 14, 24}},
      {"cells", -2, 598, true, true, TRect{0, 598, 2, 600}},  // clipped by the surface
      {"cells", -4, 20, true, true, std::nullopt},            // off the surface: not drawn
      {"half", 10, 20, true, true, std::nullopt},             // transparent pixels show through
      {"cells", 10, 20, false, true, std::nullopt},
      {"cells", 10, 20, true, false, std::nullopt},  // the holder hides it
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.picture) + " at " + std::to_string(c.x) + "," + std::to_string(c.y));
    sprite.Image = &images.Items.Find(c.picture);
    sprite.X = c.x;
    sprite.Y = c.y;
    sprite.Visible = c.visible;
    holder.Visible = c.holderVisible;
    const std::optional<TRect> covered = sprite.SolidDrawnRect();
    EXPECT_EQ(covered, c.covered);
    if (covered) ExpectClearingAllButToGiveTheFullClearsPicture(*covered);
  }
  // Pattern 0 of "cells" is solid; a pattern beyond the picture draws nothing.
  sprite.Image = &images.Items.Find("cells");
  sprite.X = 10;
  sprite.FrameIndex = 2;
  EXPECT_EQ(sprite.SolidDrawnRect(), std::nullopt);
}

// The menu's background is one solid cell: a frame may skip clearing it, so the rectangle named
// must be exactly what its drawing overwrites.
TEST_F(SpriteDrawingTest, ABackgroundOfOneSolidCellNamesTheRectItsDrawingOverwrites) {
  TImageSprite& holder = NewSprite<TImageSprite>(Engine());
  TBackgroundSprite& map = NewSprite<TBackgroundSprite>(holder);
  struct Case {
    const char* picture;
    int32_t x, y;
    int32_t columns, chip;
    bool wrap, holderVisible;
    std::optional<TRect> covered;
  };
  const Case cases[] = {
      {"cells", 10, 20, 1, 0, false, true, TRect{10, 20, 14, 24}},
      {"cells", 10, 20, 1, 1, false, true, TRect{10, 20, 14, 24}},
      {"cells", 798, 598, 1, 0, false, true, TRect{798, 598, 800, 600}},  // clipped
      {"cells", 800, 20, 1, 0, false, true, std::nullopt},                // off the surface
      {"cells", -2, 20, 1, 0, false, true, std::nullopt},   // left of the corner: cleared
      {"half", 10, 20, 1, 0, false, true, std::nullopt},    // transparent pixels show through
      {"cells", 10, 20, 1, -1, false, true, std::nullopt},  // an empty cell
      {"cells", 10, 20, 1, 5, false, true, std::nullopt},   // no such pattern: nothing drawn
      {"cells", 10, 20, 2, 0, false, true, std::nullopt},   // more than one cell
      {"cells", 10, 20, 1, 0, true, true, std::nullopt},    // wrapped over the whole screen
      {"cells", 10, 20, 1, 0, false, false, std::nullopt},  // the holder hides it
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.picture) + " at " + std::to_string(c.x) + "," + std::to_string(c.y) +
                 " chip " + std::to_string(c.chip));
    map.Image = &images.Items.Find(c.picture);
    map.ResizeMap(c.columns, 1);
    map.SetChip(0, 0, c.chip);
    map.Wrap = c.wrap;
    map.X = c.x;
    map.Y = c.y;
    holder.Visible = c.holderVisible;
    const std::optional<TRect> covered = map.SolidDrawnRect();
    EXPECT_EQ(covered, c.covered);
    if (covered) ExpectClearingAllButToGiveTheFullClearsPicture(*covered);
  }
}

TEST_F(SpriteDrawingTest, ABackgroundTilesItsMapAndRepeatsItWhenWrapping) {
  TBackgroundSprite& map = NewSprite<TBackgroundSprite>(Engine());
  map.Image = &images.Items.Find("cells");
  map.ResizeMap(3, 1);
  map.SetChip(1, 0, 1);
  map.SetChip(2, 0, -1);  // an empty cell
  map.X = 10;
  map.Y = 10;
  EXPECT_EQ(map.Bounds(), (TRect{10, 10, 22, 14}));
  sprites.DrawAll();
  EXPECT_EQ(Back().Pixel(10, 10), PatternColour(0));
  EXPECT_EQ(Back().Pixel(13, 13), PatternColour(0));
  EXPECT_EQ(Back().Pixel(14, 10), PatternColour(1));
  EXPECT_EQ(Back().Pixel(18, 10), kBack);
  EXPECT_EQ(Back().Pixel(9, 10), kBack);

  map.ResizeMap(2, 1);
  map.SetChip(1, 0, 1);
  map.Wrap = true;
  EXPECT_EQ(map.Bounds(), Engine().ScreenRect);
  Back().Fill(kBack);
  sprites.DrawAll();
  // Cells 4 wide start at x = 10 mod 4 = 2; the cell left of x 2 is the map's second one.
  EXPECT_EQ(Back().Pixel(0, 0), PatternColour(1));
  EXPECT_EQ(Back().Pixel(2, 0), PatternColour(0));
  EXPECT_EQ(Back().Pixel(6, 0), PatternColour(1));
  EXPECT_EQ(Back().Pixel(798, 599), PatternColour(1));  // (798 - 10) / 4 = 197 cells on: odd
}

TEST_F(SpriteDrawingTest, ABackgroundCollidesOnlyWhereItsCellsAreSolid) {
  TBackgroundSprite& map = NewSprite<TBackgroundSprite>(Engine());
  map.Image = &images.Items.Find("cells");
  map.ResizeMap(2, 2);
  for (int32_t c = 0; c < 2; ++c) {
    for (int32_t r = 0; r < 2; ++r) map.SetSolid(c, r, c == 1 && r == 1);
  }
  map.X = 100;
  map.Y = 100;
  TImageSprite& probe = NewSprite<TImageSprite>(Engine());
  probe.Width = 2;
  probe.Height = 2;
  probe.X = 105;  // inside cell (1, 1)
  probe.Y = 105;
  EXPECT_EQ(probe.Collide(), 0);  // backgrounds do not collide unless told to
  map.Collides = true;
  EXPECT_EQ(probe.Collide(), 1);
  probe.X = 101;  // cell (0, 1): not solid
  EXPECT_EQ(probe.Collide(), 0);
  probe.X = 103;  // across cells (0, 1) and (1, 1)
  EXPECT_EQ(probe.Collide(), 1);

  EXPECT_EQ(map.Chip(2, 0), -1);
  EXPECT_FALSE(map.Solid(-1, 0));
  map.ResizeMap(-1, 5);
  EXPECT_EQ(map.MapColumns(), 0);
  EXPECT_EQ(map.MapRows(), 0);
  EXPECT_EQ(map.Chip(0, 0), -1);
}

TEST_F(SpriteDrawingTest, PixelExactSpritesHitOnlyWhereBothAreDrawn) {
  TImageSprite& a = NewSprite<TImageSprite>(Engine());
  TImageSprite& b = NewSprite<TImageSprite>(Engine());
  for (TImageSprite* s : {&a, &b}) {
    s->Image = &images.Items.Find("half");  // the left half drawn, the right transparent
    s->Width = 4;
    s->Height = 4;
  }
  b.X = 2;
  EXPECT_EQ(a.Collide(), 1);  // rectangles overlap
  a.PixelExact = true;
  EXPECT_EQ(a.Collide(), 0);  // a's drawn half ends where b's begins
  b.X = 1;
  EXPECT_EQ(a.Collide(), 1);
}

}  // namespace
