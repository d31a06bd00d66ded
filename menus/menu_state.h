// What the menu keeps while it is on the screen: the item slots of the active screen, of the main
// menu and of the screen beneath an open dialog, the item rectangles, and the sprites a screen
// shows and hides later. Every sprite is held through a safe reference, so a slot whose sprite
// was freed (the engine emptied for a game, a killed item removed) simply reads as empty.
#pragma once

#include <array>
#include <cstdint>

#include "engine/sprites/sprite_ref.h"
#include "menus/item_rects.h"
#include "menus/menu_widgets.h"

// Six item sprites, numbered 1 to 6 like the items they show. Copying copies the references.
class TItemSlots {
 public:
  // Slot 1..6; EListError outside.
  TSpriteRef<TMenuItem>& operator[](int item);
  const TSpriteRef<TMenuItem>& operator[](int item) const;
  // Empties slots first..last without touching their sprites.
  void Empty(int first, int last);
  // Hides the sprites of slots 1..count.
  void HideFirst(int count) const;
  // Shows the sprite of slot `item` when the slot exists and holds one.
  void Show(int item) const;

 private:
  std::array<TSpriteRef<TMenuItem>, MaxMenuItems> slots_;
};

// The Options screen's pictures of the three switches, two states each.
struct OptionSwitches {
  TSpriteRef<TMenuItem> Window, Full, MusicOn, MusicOff, SoundOn, SoundOff;
};

struct MenuState {
  TItemRects ItemRects;
  // The item sprites of the active screen.
  TItemSlots CurrentItems;
  // The six main-menu items, alive behind an open sub-screen.
  TItemSlots MainItems;
  // The slots of the screen beneath an open dialog, given back when the dialog closes.
  TItemSlots DialogSavedItems;
  // The focus the screen beneath an open dialog had, given back when the dialog closes.
  uint8_t DialogSavedFocus = 0;
  // Whether the dialog frame was up before the exit question opened (over the result and send
  // dialogs it is): Cancel leaves it as it was.
  bool FrameShownBeneath = false;

  TSpriteRef<TMenuBackground> Background;
  // The dialog frame of the field on the screen: the menu's, or the game's once a game runs.
  TSpriteRef<TClosingWindow> ClosingWindow;
  // The panel of the open sub-screen.
  TSpriteRef<TSubBackground> SubBackground;
  OptionSwitches Switches;
  TSpriteRef<THelpImageSprite> HelpPageSprite;
  // The Help page shown, 1 to 10.
  uint8_t HelpPage = 1;
};

// Marks the referenced sprite dead (the frame loop frees it) and lets go of it.
template <typename T>
void KillSprite(TSpriteRef<T>& sprite) {
  if (T* alive = sprite.Get()) alive->Kill();
  sprite.Reset();
}
