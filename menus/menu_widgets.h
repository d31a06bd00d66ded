// The sprites the menu is made of. None of them moves or reacts by itself: each shows a picture of
// the image list where its creator puts it, and the menu code shows and hides it. Every one takes
// its width and height from its picture's pattern size and hits by rectangle, not pixel.
#pragma once

#include <cstdint>

#include "engine/sprites/background_sprite.h"
#include "engine/sprites/image_sprite.h"

class TPictureCollection;
class TPictureCollectionItem;

// The backdrop of the whole menu, with the menu's lettering: one map cell showing pattern 0 of
// its picture, drawn under everything (Z 0).
class TMenuBackground : public TBackgroundSprite {
 public:
  TMenuBackground(TSprite* parent, TPictureCollectionItem& picture);
};

// The panel of a sub-screen (Options, Scores, Help), over the main menu's right side.
class TSubBackground : public TImageSprite {
 public:
  static constexpr int32_t Left = 317;
  static constexpr int32_t Top = 170;
  TSubBackground(TSprite* parent, TPictureCollectionItem& picture);
};

// One item's highlighted look (or an option switch's state): shown while the item has the focus.
class TMenuItem : public TImageSprite {
 public:
  TMenuItem(TSprite* parent, TPictureCollectionItem& picture, int32_t x, int32_t y, int32_t z,
            bool visible);
};

// The frame of a dialog, hidden until a dialog opens.
class TClosingWindow : public TImageSprite {
 public:
  static constexpr int32_t Left = 220;
  static constexpr int32_t Top = 190;
  TClosingWindow(TSprite* parent, TPictureCollectionItem& picture, int32_t z);
};

// The page of the Help screen: the first page's picture, in the panel, over it.
class THelpImageSprite : public TImageSprite {
 public:
  // Where the ten pages lie in the menu's image list: page n is picture FirstHelpPicture + n - 1.
  static constexpr int32_t FirstHelpPicture = 24;
  THelpImageSprite(TSprite* parent, const TPictureCollection& pictures);
};
