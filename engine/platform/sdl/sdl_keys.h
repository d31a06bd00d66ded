// SDL's keys in the game's virtual-key numbering: one key event's code, and the 256-entry key
// table built from SDL's keyboard state.
#pragma once

#include <SDL_keyboard.h>

#include "engine/platform/platform.h"

namespace platform::sdl {

// The virtual key of a pressed key. Letters and punctuation follow the layout's key symbol, as
// Windows' virtual keys do; the digit row and keys whose symbol is not Latin (a Cyrillic layout)
// fall back to the key's place. Shift, Ctrl and Alt give the generic codes (0x10-0x12). 0 for a
// key the game has no number for.
VirtualKey VirtualKeyFromSdl(SDL_Keycode symbol, SDL_Scancode scancode);

// The left/right code (0xA0-0xA5) of a Shift, Ctrl or Alt key; 0 for every other key.
VirtualKey SidedVirtualKey(SDL_Scancode scancode);

// Shift, Alt and Ctrl of SDL's modifier state.
ShiftState ShiftStateFromModifiers(Uint16 modifiers);

// Fills the table from SDL's per-scancode state (bit 7 for a key that is down), each modifier
// under both its generic and its left/right code. `keyOf` gives a scancode's key symbol in the
// current layout (SDL_GetKeyFromScancode).
void FillKeyTable(const Uint8* scancodeState, int scancodeCount, SDL_Keycode (*keyOf)(SDL_Scancode),
                  KeyTable& table);

// Keyboard::ReadState through SDL_GetKeyboardState.
class SdlKeyboard : public Keyboard {
 public:
  bool ReadState(KeyTable& table) override;
};

}  // namespace platform::sdl
