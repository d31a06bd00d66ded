#include "engine/platform/sdl/sdl_keys.h"

#include <gtest/gtest.h>

#include "engine/platform/virtual_keys.h"

namespace {

using platform::sdl::FillKeyTable;
using platform::sdl::ShiftStateFromModifiers;
using platform::sdl::SidedVirtualKey;
using platform::sdl::VirtualKeyFromSdl;

struct KeyCase {
  const char* what;
  SDL_Keycode symbol;
  SDL_Scancode scancode;
  platform::VirtualKey expected;
};

TEST(SdlKeys, TranslatesEveryKindOfKeyToItsVirtualKey) {
  const KeyCase cases[] = {
      {"letter", SDLK_a, SDL_SCANCODE_A, vk::Letter('A')},
      {"letter z", SDLK_z, SDL_SCANCODE_Z, vk::Letter('Z')},
      // Letters follow the layout: French AZERTY has A where US has Q.
      {"AZERTY a on the Q key", SDLK_a, SDL_SCANCODE_Q, vk::Letter('A')},
      {"AZERTY m on the ; key", SDLK_m, SDL_SCANCODE_SEMICOLON, vk::Letter('M')},
      {"AZERTY , on the M key", SDLK_COMMA, SDL_SCANCODE_M, vk::OemComma},
      // A Cyrillic layout has no Latin symbol: the key's place names it.
      {"Cyrillic ef on the A key", 0x0444, SDL_SCANCODE_A, vk::Letter('A')},
      {"digit", SDLK_1, SDL_SCANCODE_1, vk::Digit(1)},
      {"digit 0", SDLK_0, SDL_SCANCODE_0, vk::Digit(0)},
      {"AZERTY & on the 1 key", SDLK_AMPERSAND, SDL_SCANCODE_1, vk::Digit(1)},
      {"F1", SDLK_F1, SDL_SCANCODE_F1, vk::F1},
      {"F2", SDLK_F2, SDL_SCANCODE_F2, vk::F2},
      {"F12", SDLK_F12, SDL_SCANCODE_F12, vk::F12},
      {"F13", SDLK_F13, SDL_SCANCODE_F13, vk::Function(13)},
      {"F24", SDLK_F24, SDL_SCANCODE_F24, vk::Function(24)},
      {"left arrow", SDLK_LEFT, SDL_SCANCODE_LEFT, vk::Left},
      {"up arrow", SDLK_UP, SDL_SCANCODE_UP, vk::Up},
      {"right arrow", SDLK_RIGHT, SDL_SCANCODE_RIGHT, vk::Right},
      {"down arrow", SDLK_DOWN, SDL_SCANCODE_DOWN, vk::Down},
      {"keypad 0", SDLK_KP_0, SDL_SCANCODE_KP_0, vk::Numpad(0)},
      {"keypad 2", SDLK_KP_2, SDL_SCANCODE_KP_2, vk::Numpad(2)},
      {"keypad 8", SDLK_KP_8, SDL_SCANCODE_KP_8, vk::Numpad(8)},
      {"keypad 9", SDLK_KP_9, SDL_SCANCODE_KP_9, vk::Numpad(9)},
      {"keypad +", SDLK_KP_PLUS, SDL_SCANCODE_KP_PLUS, vk::Add},
      {"keypad -", SDLK_KP_MINUS, SDL_SCANCODE_KP_MINUS, vk::Subtract},
      {"keypad *", SDLK_KP_MULTIPLY, SDL_SCANCODE_KP_MULTIPLY, vk::Multiply},
      {"keypad /", SDLK_KP_DIVIDE, SDL_SCANCODE_KP_DIVIDE, vk::Divide},
      {"keypad .", SDLK_KP_PERIOD, SDL_SCANCODE_KP_PERIOD, vk::Decimal},
      {"keypad Enter", SDLK_KP_ENTER, SDL_SCANCODE_KP_ENTER, vk::Return},
      {"left Ctrl", SDLK_LCTRL, SDL_SCANCODE_LCTRL, vk::Control},
      {"right Ctrl", SDLK_RCTRL, SDL_SCANCODE_RCTRL, vk::Control},
      {"left Shift", SDLK_LSHIFT, SDL_SCANCODE_LSHIFT, vk::Shift},
      {"right Shift", SDLK_RSHIFT, SDL_SCANCODE_RSHIFT, vk::Shift},
      {"left Alt", SDLK_LALT, SDL_SCANCODE_LALT, vk::Menu},
      {"right Alt", SDLK_RALT, SDL_SCANCODE_RALT, vk::Menu},
      {"Enter", SDLK_RETURN, SDL_SCANCODE_RETURN, vk::Return},
      {"Escape", SDLK_ESCAPE, SDL_SCANCODE_ESCAPE, vk::Escape},
      {"Backspace", SDLK_BACKSPACE, SDL_SCANCODE_BACKSPACE, vk::Back},
      {"Tab", SDLK_TAB, SDL_SCANCODE_TAB, vk::Tab},
      {"Space", SDLK_SPACE, SDL_SCANCODE_SPACE, vk::Space},
      {"Insert", SDLK_INSERT, SDL_SCANCODE_INSERT, vk::Insert},
      {"Delete", SDLK_DELETE, SDL_SCANCODE_DELETE, vk::Delete},
      {"Home", SDLK_HOME, SDL_SCANCODE_HOME, vk::Home},
      {"End", SDLK_END, SDL_SCANCODE_END, vk::End},
      {"Page Up", SDLK_PAGEUP, SDL_SCANCODE_PAGEUP, vk::Prior},
      {"Page Down", SDLK_PAGEDOWN, SDL_SCANCODE_PAGEDOWN, vk::Next},
      {"left Windows key", SDLK_LGUI, SDL_SCANCODE_LGUI, vk::LWin},
      {"right Windows key", SDLK_RGUI, SDL_SCANCODE_RGUI, vk::RWin},
      {"menu key", SDLK_APPLICATION, SDL_SCANCODE_APPLICATION, vk::Apps},
      {"Pause", SDLK_PAUSE, SDL_SCANCODE_PAUSE, vk::Pause},
      {"Caps Lock", SDLK_CAPSLOCK, SDL_SCANCODE_CAPSLOCK, vk::Capital},
      {"Num Lock", SDLK_NUMLOCKCLEAR, SDL_SCANCODE_NUMLOCKCLEAR, vk::NumLock},
      {"Scroll Lock", SDLK_SCROLLLOCK, SDL_SCANCODE_SCROLLLOCK, vk::Scroll},
      {"Print Screen", SDLK_PRINTSCREEN, SDL_SCANCODE_PRINTSCREEN, vk::Snapshot},
      {";", SDLK_SEMICOLON, SDL_SCANCODE_SEMICOLON, vk::Oem1},
      {"=", SDLK_EQUALS, SDL_SCANCODE_EQUALS, vk::OemPlus},
      {"-", SDLK_MINUS, SDL_SCANCODE_MINUS, vk::OemMinus},
      {".", SDLK_PERIOD, SDL_SCANCODE_PERIOD, vk::OemPeriod},
      {"/", SDLK_SLASH, SDL_SCANCODE_SLASH, vk::Oem2},
      {"`", SDLK_BACKQUOTE, SDL_SCANCODE_GRAVE, vk::Oem3},
      {"[", SDLK_LEFTBRACKET, SDL_SCANCODE_LEFTBRACKET, vk::Oem4},
      {"backslash", SDLK_BACKSLASH, SDL_SCANCODE_BACKSLASH, vk::Oem5},
      {"]", SDLK_RIGHTBRACKET, SDL_SCANCODE_RIGHTBRACKET, vk::Oem6},
      {"'", SDLK_QUOTE, SDL_SCANCODE_APOSTROPHE, vk::Oem7},
      // A symbol outside ASCII (German sharp s) keeps the punctuation of its place.
      {"German sharp s on the - key", 0xDF, SDL_SCANCODE_MINUS, vk::OemMinus},
      {"unknown key", SDLK_UNKNOWN, SDL_SCANCODE_UNKNOWN, 0},
  };
  for (const KeyCase& c : cases) {
    EXPECT_EQ(VirtualKeyFromSdl(c.symbol, c.scancode), c.expected) << c.what;
  }
}

TEST(SdlKeys, OnlyShiftCtrlAndAltHaveLeftAndRightCodes) {
  EXPECT_EQ(SidedVirtualKey(SDL_SCANCODE_LSHIFT), vk::LShift);
  EXPECT_EQ(SidedVirtualKey(SDL_SCANCODE_RSHIFT), vk::RShift);
  EXPECT_EQ(SidedVirtualKey(SDL_SCANCODE_LCTRL), vk::LControl);
  EXPECT_EQ(SidedVirtualKey(SDL_SCANCODE_RCTRL), vk::RControl);
  EXPECT_EQ(SidedVirtualKey(SDL_SCANCODE_LALT), vk::LMenu);
  EXPECT_EQ(SidedVirtualKey(SDL_SCANCODE_RALT), vk::RMenu);
  EXPECT_EQ(SidedVirtualKey(SDL_SCANCODE_A), 0);
  EXPECT_EQ(SidedVirtualKey(SDL_SCANCODE_LGUI), 0);
}

TEST(SdlKeys, ModifiersGiveTheShiftState) {
  EXPECT_EQ(ShiftStateFromModifiers(KMOD_NONE), 0);
  EXPECT_EQ(ShiftStateFromModifiers(KMOD_LSHIFT), platform::ssShift);
  EXPECT_EQ(ShiftStateFromModifiers(KMOD_RCTRL | KMOD_LALT), platform::ssCtrl | platform::ssAlt);
  EXPECT_EQ(ShiftStateFromModifiers(KMOD_RSHIFT | KMOD_LCTRL | KMOD_RALT | KMOD_NUM),
            platform::ssShift | platform::ssCtrl | platform::ssAlt);
}

// A French layout: the key in the US Q place types "a".
SDL_Keycode AzertyKeyOf(SDL_Scancode scancode) {
  if (scancode == SDL_SCANCODE_Q) return SDLK_a;
  if (scancode == SDL_SCANCODE_A) return SDLK_q;
  if (scancode == SDL_SCANCODE_1) return SDLK_AMPERSAND;
  return SDL_SCANCODE_TO_KEYCODE(scancode);
}

TEST(SdlKeys, KeyTableMarksDownKeysInTheLayoutWithGenericAndSidedModifiers) {
  Uint8 state[SDL_NUM_SCANCODES] = {};
  state[SDL_SCANCODE_Q] = 1;
  state[SDL_SCANCODE_1] = 1;
  state[SDL_SCANCODE_LSHIFT] = 1;
  state[SDL_SCANCODE_RCTRL] = 1;
  state[SDL_SCANCODE_KP_8] = 1;
  platform::KeyTable table;
  table.fill(0x55);  // whatever was there before is cleared
  FillKeyTable(state, SDL_NUM_SCANCODES, AzertyKeyOf, table);

  const platform::VirtualKey down[] = {vk::Letter('A'), vk::Digit(1), vk::Shift,    vk::LShift,
                                       vk::Control,     vk::RControl, vk::Numpad(8)};
  for (int key = 0; key < 256; ++key) {
    const bool expected = std::find(std::begin(down), std::end(down), key) != std::end(down);
    EXPECT_EQ(table[static_cast<size_t>(key)], expected ? 0x80 : 0) << "key " << key;
  }
}

}  // namespace
