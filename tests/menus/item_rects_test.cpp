// The item rectangle table and the item slots.
#include "menus/item_rects.h"

#include <gtest/gtest.h>

#include "engine/base/exception.h"
#include "engine/pictures/picture_collection.h"
#include "engine/sprites/sprite_engine.h"
#include "menus/menu_state.h"

namespace {

TEST(TItemRects, StartsWithTheTableOfEveryScreen) {
  const TItemRects rects;
  const uint8_t counts[] = {0, 6, 6, 3, 3, 2, 2, 0, 4, 2};
  for (uint8_t screen = 1; screen <= LastMenuScreen; ++screen) {
    EXPECT_EQ(rects.ItemCount(screen), counts[screen]) << int(screen);
  }
  EXPECT_EQ(rects.ItemCount(0), 0);
  EXPECT_EQ(rects.ItemCount(10), 0);
  EXPECT_EQ(rects.At(msMainMenu, 6), (ItemRect{50, 451, 0, 0}));
  EXPECT_EQ(rects.At(msOptions, 1), (ItemRect{454, 185, 300, 40}));
  EXPECT_EQ(rects.At(msOptions, 4), (ItemRect{535, 350, 210, 30}));
  EXPECT_EQ(rects.At(msOptions, 6), (ItemRect{318, 504, 120, 18}));
  EXPECT_EQ(rects.At(msScores, 2), (ItemRect{547, 471, 280, 18}));
  EXPECT_EQ(rects.At(msHelp, 2), (ItemRect{711, 474, 100, 18}));
  for (TMenuScreen dialog : {msExitDialog, msClearScoresDialog, msResultDialog, msSendDialog}) {
    EXPECT_EQ(rects.At(dialog, 1), (ItemRect{301, 386, 30, 18}));
    EXPECT_EQ(rects.At(dialog, 2), (ItemRect{420, 386, 67, 18}));
  }
  EXPECT_EQ(rects.At(msResultDialog, 4), (ItemRect{350, 320, 200, 18}));
  EXPECT_THROW(rects.At(msOptions, 7), EListError);
  EXPECT_THROW(rects.At(10, 1), EListError);
}

TEST(TItemRects, AHitIncludesAllFourEdgesAndTheFirstItemWins) {
  TItemRects rects;
  // Options item 2: 454, 240, 130 x 40.
  struct Case {
    int x, y, item;
  };
  const Case cases[] = {
      {454, 240, 2}, {584, 240, 2}, {454, 280, 2}, {584, 280, 2},  // corners, edges included
      {453, 260, 0}, {585, 260, 0}, {500, 239, 0}, {500, 281, 0},  // one pixel outside
      {500, 225, 1},                                               // item 1 is 185..225
  };
  for (const Case& c : cases)
    EXPECT_EQ(rects.HitItem(msOptions, c.x, c.y), c.item) << c.x << ", " << c.y;
  // Where two items overlap the first one takes the point; beyond the count nothing exists.
  rects.At(msScores, 2) = rects.At(msScores, 1);
  EXPECT_EQ(rects.HitItem(msScores, 320, 475), 1);
  EXPECT_EQ(rects.HitItem(msBossKeyPrompt, 320, 475), 0);
  // A picture too large for 16 bits keeps the largest size rather than wrapping to a small one.
  rects.SetSize(msMainMenu, 1, 70000, -5);
  EXPECT_EQ(rects.At(msMainMenu, 1).Width, 65535);
  EXPECT_EQ(rects.At(msMainMenu, 1).Height, 0);
}

TEST(TItemSlots, CopiesShareTheSpritesAndReadEmptyOnceTheyAreFreed) {
  TPictureCollection pictures;
  TPictureCollectionItem& picture = pictures.Add();
  picture.PatternWidth = 4;
  picture.PatternHeight = 3;
  TSpriteEngine engine;
  TItemSlots current;
  for (int i = 1; i <= MaxMenuItems; ++i) {
    current[i] = NewSprite<TMenuItem>(engine, picture, 10 * i, 5, 1, true);
  }
  EXPECT_EQ(current[2]->Width, 4);
  EXPECT_EQ(current[2]->Height, 3);
  EXPECT_FALSE(current[2]->PixelExact);
  const TItemSlots saved = current;

  current.HideFirst(3);
  current.Show(2);
  current.Show(0);  // no such slot: nothing, as for a focus of 0
  current.Show(7);
  EXPECT_FALSE(saved[1]->Visible);
  EXPECT_TRUE(saved[2]->Visible);
  EXPECT_FALSE(saved[3]->Visible);
  EXPECT_TRUE(saved[4]->Visible);

  current.Empty(1, 2);  // slots let go, sprites stay
  EXPECT_FALSE(current[1]);
  EXPECT_TRUE(saved[1]);
  KillSprite(current[3]);
  EXPECT_FALSE(current[3]);
  EXPECT_TRUE(saved[3]);  // killed, not yet freed
  engine.RemoveDead();
  EXPECT_FALSE(saved[3]);
  engine.RemoveAll();
  for (int i = 1; i <= MaxMenuItems; ++i) EXPECT_FALSE(saved[i]) << i;
  EXPECT_THROW(current[0], EListError);
  EXPECT_THROW(current[7], EListError);
}

}  // namespace
