#include "menus/menu_state.h"

#include <string>

#include "engine/base/exception.h"

TSpriteRef<TMenuItem>& TItemSlots::operator[](int item) {
  if (item < 1 || item > MaxMenuItems) {
    throw EListError("List index out of bounds (" + std::to_string(item) + ")");
  }
  return slots_[static_cast<size_t>(item - 1)];
}

const TSpriteRef<TMenuItem>& TItemSlots::operator[](int item) const {
  return const_cast<TItemSlots&>(*this)[item];
}

void TItemSlots::Empty(int first, int last) {
  for (int item = first; item <= last; ++item) (*this)[item].Reset();
}

void TItemSlots::HideFirst(int count) const {
  for (int item = 1; item <= count && item <= MaxMenuItems; ++item) {
    if (TMenuItem* sprite = (*this)[item].Get()) sprite->Visible = false;
  }
}

void TItemSlots::Show(int item) const {
  if (item < 1 || item > MaxMenuItems) return;
  if (TMenuItem* sprite = (*this)[item].Get()) sprite->Visible = true;
}
