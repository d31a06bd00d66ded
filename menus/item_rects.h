// The item rectangle table (ItemRects): where each selectable item of each menu screen lies on the
// 800 x 600 surface, as the pointer and the screen builders use it. Entries of items shown by a
// picture take that picture's size whenever their screen is built.
#pragma once

#include <array>
#include <cstdint>

#include "menus/menu_screen.h"

struct ItemRect {
  uint16_t Left = 0;
  uint16_t Top = 0;
  uint16_t Width = 0;
  uint16_t Height = 0;
  // The pointer is on the item with all four edges included: x = Left + Width still hits.
  bool Contains(int x, int y) const {
    return Left <= x && x <= Left + Width && Top <= y && y <= Top + Height;
  }
  bool operator==(const ItemRect&) const = default;
};

class TItemRects {
 public:
  // The table as the program starts with it.
  TItemRects();

  // Items of the screen that exist (the first ItemCount of six); 0 for no such screen.
  uint8_t ItemCount(uint8_t screen) const;
  // Item 1..6 of screen 1..9; EListError outside.
  ItemRect& At(uint8_t screen, int item);
  const ItemRect& At(uint8_t screen, int item) const;
  // Records a picture's size for its item (sizes beyond 16 bits are kept at the largest).
  void SetSize(uint8_t screen, int item, int32_t width, int32_t height);
  // The first existing item of the screen that contains the point, 0 for none.
  int HitItem(uint8_t screen, int x, int y) const;

 private:
  struct Screen {
    uint8_t ItemCount = 0;
    std::array<ItemRect, MaxMenuItems> Items{};
  };
  std::array<Screen, LastMenuScreen + 1> screens_{};
};
