#include "engine/platform/sdl/sdl_keys.h"

#include "engine/platform/virtual_keys.h"

namespace platform::sdl {
namespace {

// Windows' numbers for keys the game's own table does not name.
constexpr VirtualKey Clear = 0x0C;
constexpr VirtualKey Select = 0x29;
constexpr VirtualKey Execute = 0x2B;
constexpr VirtualKey Help = 0x2F;
constexpr VirtualKey Sleep = 0x5F;
constexpr VirtualKey Separator = 0x6C;
constexpr VirtualKey BrowserBack = 0xA6;
constexpr VirtualKey BrowserForward = 0xA7;
constexpr VirtualKey BrowserRefresh = 0xA8;
constexpr VirtualKey BrowserStop = 0xA9;
constexpr VirtualKey BrowserSearch = 0xAA;
constexpr VirtualKey BrowserFavorites = 0xAB;
constexpr VirtualKey BrowserHome = 0xAC;
constexpr VirtualKey VolumeMute = 0xAD;
constexpr VirtualKey VolumeDown = 0xAE;
constexpr VirtualKey VolumeUp = 0xAF;
constexpr VirtualKey MediaNextTrack = 0xB0;
constexpr VirtualKey MediaPrevTrack = 0xB1;
constexpr VirtualKey MediaStop = 0xB2;
constexpr VirtualKey MediaPlayPause = 0xB3;
constexpr VirtualKey LaunchMail = 0xB4;
constexpr VirtualKey LaunchMediaSelect = 0xB5;
constexpr VirtualKey LaunchApp1 = 0xB6;
constexpr VirtualKey LaunchApp2 = 0xB7;
constexpr VirtualKey Oem102 = 0xE2;  // the extra key beside left Shift on ISO keyboards

// Punctuation by the character the layout puts on the key.
VirtualKey PunctuationKey(SDL_Keycode symbol) {
  switch (symbol) {
    case SDLK_SEMICOLON:
      return vk::Oem1;
    case SDLK_EQUALS:
      return vk::OemPlus;
    case SDLK_COMMA:
      return vk::OemComma;
    case SDLK_MINUS:
      return vk::OemMinus;
    case SDLK_PERIOD:
      return vk::OemPeriod;
    case SDLK_SLASH:
      return vk::Oem2;
    case SDLK_BACKQUOTE:
      return vk::Oem3;
    case SDLK_LEFTBRACKET:
      return vk::Oem4;
    case SDLK_BACKSLASH:
      return vk::Oem5;
    case SDLK_RIGHTBRACKET:
      return vk::Oem6;
    case SDLK_QUOTE:
      return vk::Oem7;
    default:
      return 0;
  }
}

// Every key by its place on the keyboard.
VirtualKey KeyByPlace(SDL_Scancode scancode) {
  if (scancode >= SDL_SCANCODE_A && scancode <= SDL_SCANCODE_Z) {
    return static_cast<VirtualKey>(vk::KeyA + (scancode - SDL_SCANCODE_A));
  }
  if (scancode >= SDL_SCANCODE_1 && scancode <= SDL_SCANCODE_9) {
    return vk::Digit(1 + (scancode - SDL_SCANCODE_1));
  }
  if (scancode >= SDL_SCANCODE_F1 && scancode <= SDL_SCANCODE_F12) {
    return vk::Function(1 + (scancode - SDL_SCANCODE_F1));
  }
  if (scancode >= SDL_SCANCODE_F13 && scancode <= SDL_SCANCODE_F24) {
    return vk::Function(13 + (scancode - SDL_SCANCODE_F13));
  }
  if (scancode >= SDL_SCANCODE_KP_1 && scancode <= SDL_SCANCODE_KP_9) {
    return vk::Numpad(1 + (scancode - SDL_SCANCODE_KP_1));
  }
  switch (scancode) {
    case SDL_SCANCODE_0:
      return vk::Digit(0);
    case SDL_SCANCODE_KP_0:
      return vk::Numpad(0);
    case SDL_SCANCODE_RETURN:
      return vk::Return;
    case SDL_SCANCODE_KP_ENTER:
      return vk::Return;
    case SDL_SCANCODE_ESCAPE:
      return vk::Escape;
    case SDL_SCANCODE_BACKSPACE:
      return vk::Back;
    case SDL_SCANCODE_TAB:
      return vk::Tab;
    case SDL_SCANCODE_SPACE:
      return vk::Space;
    case SDL_SCANCODE_MINUS:
      return vk::OemMinus;
    case SDL_SCANCODE_EQUALS:
      return vk::OemPlus;
    case SDL_SCANCODE_LEFTBRACKET:
      return vk::Oem4;
    case SDL_SCANCODE_RIGHTBRACKET:
      return vk::Oem6;
    case SDL_SCANCODE_BACKSLASH:
      return vk::Oem5;
    case SDL_SCANCODE_NONUSHASH:
      return vk::Oem5;
    case SDL_SCANCODE_SEMICOLON:
      return vk::Oem1;
    case SDL_SCANCODE_APOSTROPHE:
      return vk::Oem7;
    case SDL_SCANCODE_GRAVE:
      return vk::Oem3;
    case SDL_SCANCODE_COMMA:
      return vk::OemComma;
    case SDL_SCANCODE_PERIOD:
      return vk::OemPeriod;
    case SDL_SCANCODE_SLASH:
      return vk::Oem2;
    case SDL_SCANCODE_NONUSBACKSLASH:
      return Oem102;
    case SDL_SCANCODE_CAPSLOCK:
      return vk::Capital;
    case SDL_SCANCODE_PRINTSCREEN:
      return vk::Snapshot;
    case SDL_SCANCODE_SCROLLLOCK:
      return vk::Scroll;
    case SDL_SCANCODE_PAUSE:
      return vk::Pause;
    case SDL_SCANCODE_INSERT:
      return vk::Insert;
    case SDL_SCANCODE_HOME:
      return vk::Home;
    case SDL_SCANCODE_PAGEUP:
      return vk::Prior;
    case SDL_SCANCODE_DELETE:
      return vk::Delete;
    case SDL_SCANCODE_END:
      return vk::End;
    case SDL_SCANCODE_PAGEDOWN:
      return vk::Next;
    case SDL_SCANCODE_RIGHT:
      return vk::Right;
    case SDL_SCANCODE_LEFT:
      return vk::Left;
    case SDL_SCANCODE_DOWN:
      return vk::Down;
    case SDL_SCANCODE_UP:
      return vk::Up;
    case SDL_SCANCODE_NUMLOCKCLEAR:
      return vk::NumLock;
    case SDL_SCANCODE_KP_DIVIDE:
      return vk::Divide;
    case SDL_SCANCODE_KP_MULTIPLY:
      return vk::Multiply;
    case SDL_SCANCODE_KP_MINUS:
      return vk::Subtract;
    case SDL_SCANCODE_KP_PLUS:
      return vk::Add;
    case SDL_SCANCODE_KP_PERIOD:
      return vk::Decimal;
    case SDL_SCANCODE_KP_COMMA:
      return Separator;
    case SDL_SCANCODE_CLEAR:
      return Clear;
    case SDL_SCANCODE_APPLICATION:
      return vk::Apps;
    case SDL_SCANCODE_MENU:
      return vk::Apps;
    case SDL_SCANCODE_SELECT:
      return Select;
    case SDL_SCANCODE_EXECUTE:
      return Execute;
    case SDL_SCANCODE_HELP:
      return Help;
    case SDL_SCANCODE_LSHIFT:
      return vk::Shift;
    case SDL_SCANCODE_RSHIFT:
      return vk::Shift;
    case SDL_SCANCODE_LCTRL:
      return vk::Control;
    case SDL_SCANCODE_RCTRL:
      return vk::Control;
    case SDL_SCANCODE_LALT:
      return vk::Menu;
    case SDL_SCANCODE_RALT:
      return vk::Menu;
    case SDL_SCANCODE_MODE:
      return vk::Menu;  // AltGr on some layouts
    case SDL_SCANCODE_LGUI:
      return vk::LWin;
    case SDL_SCANCODE_RGUI:
      return vk::RWin;
    case SDL_SCANCODE_SLEEP:
      return Sleep;
    case SDL_SCANCODE_MUTE:
      return VolumeMute;
    case SDL_SCANCODE_AUDIOMUTE:
      return VolumeMute;
    case SDL_SCANCODE_VOLUMEDOWN:
      return VolumeDown;
    case SDL_SCANCODE_VOLUMEUP:
      return VolumeUp;
    case SDL_SCANCODE_AUDIONEXT:
      return MediaNextTrack;
    case SDL_SCANCODE_AUDIOPREV:
      return MediaPrevTrack;
    case SDL_SCANCODE_AUDIOSTOP:
      return MediaStop;
    case SDL_SCANCODE_AUDIOPLAY:
      return MediaPlayPause;
    case SDL_SCANCODE_MAIL:
      return LaunchMail;
    case SDL_SCANCODE_MEDIASELECT:
      return LaunchMediaSelect;
    case SDL_SCANCODE_COMPUTER:
      return LaunchApp1;
    case SDL_SCANCODE_CALCULATOR:
      return LaunchApp2;
    case SDL_SCANCODE_AC_BACK:
      return BrowserBack;
    case SDL_SCANCODE_AC_FORWARD:
      return BrowserForward;
    case SDL_SCANCODE_AC_REFRESH:
      return BrowserRefresh;
    case SDL_SCANCODE_AC_STOP:
      return BrowserStop;
    case SDL_SCANCODE_AC_SEARCH:
      return BrowserSearch;
    case SDL_SCANCODE_AC_BOOKMARKS:
      return BrowserFavorites;
    case SDL_SCANCODE_AC_HOME:
      return BrowserHome;
    default:
      return 0;
  }
}

bool InDigitRow(SDL_Scancode scancode) {
  return scancode >= SDL_SCANCODE_1 && scancode <= SDL_SCANCODE_0;
}

bool OnKeypad(SDL_Scancode scancode) {
  return scancode >= SDL_SCANCODE_KP_DIVIDE && scancode <= SDL_SCANCODE_KP_PERIOD;
}

}  // namespace

VirtualKey VirtualKeyFromSdl(SDL_Keycode symbol, SDL_Scancode scancode) {
  // The digit row keeps its digits on every layout (French keys show "&" unshifted).
  if (InDigitRow(scancode)) return KeyByPlace(scancode);
  if (!OnKeypad(scancode)) {
    if (symbol >= SDLK_a && symbol <= SDLK_z)
      return vk::Letter(static_cast<char>('A' + (symbol - SDLK_a)));
    if (const VirtualKey key = PunctuationKey(symbol); key != 0) return key;
  }
  return KeyByPlace(scancode);
}

VirtualKey SidedVirtualKey(SDL_Scancode scancode) {
  switch (scancode) {
    case SDL_SCANCODE_LSHIFT:
      return vk::LShift;
    case SDL_SCANCODE_RSHIFT:
      return vk::RShift;
    case SDL_SCANCODE_LCTRL:
      return vk::LControl;
    case SDL_SCANCODE_RCTRL:
      return vk::RControl;
    case SDL_SCANCODE_LALT:
      return vk::LMenu;
    case SDL_SCANCODE_RALT:
      return vk::RMenu;
    default:
      return 0;
  }
}

ShiftState ShiftStateFromModifiers(Uint16 modifiers) {
  ShiftState shift = 0;
  if (modifiers & KMOD_SHIFT) shift |= ssShift;
  if (modifiers & KMOD_ALT) shift |= ssAlt;
  if (modifiers & KMOD_CTRL) shift |= ssCtrl;
  return shift;
}

void FillKeyTable(const Uint8* scancodeState, int scancodeCount, SDL_Keycode (*keyOf)(SDL_Scancode),
                  KeyTable& table) {
  constexpr uint8_t Down = 0x80;
  table.fill(0);
  for (int index = 0; index < scancodeCount; ++index) {
    if (scancodeState[index] == 0) continue;
    const auto scancode = static_cast<SDL_Scancode>(index);
    if (const VirtualKey key = VirtualKeyFromSdl(keyOf(scancode), scancode); key != 0) {
      table[key & 0xFF] = Down;
    }
    if (const VirtualKey sided = SidedVirtualKey(scancode); sided != 0) table[sided] = Down;
  }
}

bool SdlKeyboard::ReadState(KeyTable& table) {
  int count = 0;
  const Uint8* state = SDL_GetKeyboardState(&count);
  if (state == nullptr) {
    table.fill(0);
    return false;
  }
  FillKeyTable(state, count, SDL_GetKeyFromScancode, table);
  return true;
}

}  // namespace platform::sdl
