#include "menus/menu_widgets.h"

#include "engine/pictures/picture_collection.h"

namespace {

void Place(TImageSprite& sprite, TPictureCollectionItem& picture, int32_t x, int32_t y, int32_t z,
           bool visible) {
  sprite.PixelExact = false;
  SetPicture(sprite, picture);
  sprite.X = x;
  sprite.Y = y;
  sprite.SetZ(z);
  sprite.Visible = visible;
}

}  // namespace

TMenuBackground::TMenuBackground(TSprite* parent, TPictureCollectionItem& picture)
    : TBackgroundSprite(parent) {
  ResizeMap(1, 1);
  Image = &picture;
  Width = picture.Width();
  Height = picture.Height();
  Visible = true;
  SetZ(0);
}

TSubBackground::TSubBackground(TSprite* parent, TPictureCollectionItem& picture)
    : TImageSprite(parent) {
  Place(*this, picture, Left, Top, 1, true);
}

TMenuItem::TMenuItem(TSprite* parent, TPictureCollectionItem& picture, int32_t x, int32_t y,
                     int32_t z, bool visible)
    : TImageSprite(parent) {
  Place(*this, picture, x, y, z, visible);
}

TClosingWindow::TClosingWindow(TSprite* parent, TPictureCollectionItem& picture, int32_t z)
    : TImageSprite(parent) {
  Place(*this, picture, Left, Top, z, false);
}

THelpImageSprite::THelpImageSprite(TSprite* parent, const TPictureCollection& pictures)
    : TImageSprite(parent) {
  Place(*this, pictures[FirstHelpPicture], TSubBackground::Left, TSubBackground::Top, 2, true);
}
