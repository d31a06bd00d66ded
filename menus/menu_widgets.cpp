#include "menus/menu_widgets.h"

#include "engine/pictures/picture_collection.h"

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
  Place(*this, picture, Left, Top, 1);
}

TMenuItem::TMenuItem(TSprite* parent, TPictureCollectionItem& picture, int32_t x, int32_t y,
                     int32_t z, bool visible)
    : TImageSprite(parent) {
  Place(*this, picture, x, y, z);
  Visible = visible;
}

TClosingWindow::TClosingWindow(TSprite* parent, TPictureCollectionItem& picture, int32_t z)
    : TImageSprite(parent) {
  Place(*this, picture, Left, Top, z);
  Visible = false;
}

THelpImageSprite::THelpImageSprite(TSprite* parent, const TPictureCollection& pictures)
    : TImageSprite(parent) {
  Place(*this, pictures[FirstHelpPicture], TSubBackground::Left, TSubBackground::Top, 2);
}
