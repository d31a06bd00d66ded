#include "menus/item_rects.h"

#include <algorithm>
#include <string>

#include "engine/base/exception.h"

namespace {

// Where a picture gives the size, the numbers here stand until the screen is first built.
using Row = std::array<ItemRect, MaxMenuItems>;
constexpr std::array<Row, LastMenuScreen + 1> InitialRects = {{
    {},
    // Main menu: every size from its picture.
    {{{50, 190, 0, 0},
      {50, 241, 0, 0},
      {50, 295, 0, 0},
      {50, 348, 0, 0},
      {50, 399, 0, 0},
      {50, 451, 0, 0}}},
    // Options: display mode, music, sound effects, country, boss key (framed, fixed sizes); back.
    {{{454, 185, 300, 40},
      {454, 240, 130, 40},
      {454, 295, 130, 40},
      {535, 350, 210, 30},
      {470, 405, 130, 30},
      {318, 504, 120, 18}}},
    // Scores: clear scores, the online table, back.
    {{{317, 470, 80, 18}, {547, 471, 280, 18}, {318, 504, 200, 18}}},
    // Help: previous page, next page, back.
    {{{320, 473, 80, 18}, {711, 474, 100, 18}, {318, 504, 60, 18}}},
    // The exit question, the clear-scores question: OK, Cancel.
    {{{301, 386, 30, 18}, {420, 386, 67, 18}}},
    {{{301, 386, 30, 18}, {420, 386, 67, 18}}},
    // The boss-key prompt has no items.
    {},
    // Result dialog: OK, Cancel, name field, country field.
    {{{301, 386, 30, 18}, {420, 386, 67, 18}, {330, 260, 200, 18}, {350, 320, 200, 18}}},
    // Send-result dialog: Yes, No.
    {{{301, 386, 30, 18}, {420, 386, 67, 18}}},
}};

uint16_t Clamp16(int32_t value) {
  return static_cast<uint16_t>(std::clamp<int32_t>(value, 0, UINT16_MAX));
}

}  // namespace

TItemRects::TItemRects() {
  for (uint8_t screen = 1; screen <= LastMenuScreen; ++screen) {
    screens_[screen].ItemCount = MenuItemCount[screen];
    screens_[screen].Items = InitialRects[screen];
  }
}

uint8_t TItemRects::ItemCount(uint8_t screen) const {
  return screen >= 1 && screen <= LastMenuScreen ? screens_[screen].ItemCount : 0;
}

ItemRect& TItemRects::At(uint8_t screen, int item) {
  if (screen < 1 || screen > LastMenuScreen || item < 1 || item > MaxMenuItems) {
    throw EListError("List index out of bounds (" + std::to_string(item) + ")");
  }
  return screens_[screen].Items[static_cast<size_t>(item - 1)];
}

const ItemRect& TItemRects::At(uint8_t screen, int item) const {
  return const_cast<TItemRects*>(this)->At(screen, item);
}

void TItemRects::SetSize(uint8_t screen, int item, int32_t width, int32_t height) {
  ItemRect& rect = At(screen, item);
  rect.Width = Clamp16(width);
  rect.Height = Clamp16(height);
}

int TItemRects::HitItem(uint8_t screen, int x, int y) const {
  for (int item = 1; item <= ItemCount(screen); ++item) {
    if (At(screen, item).Contains(x, y)) return item;
  }
  return 0;
}
