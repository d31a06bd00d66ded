// The keyboard: the menu keys and the game keys, the key latch that makes a held key act once,
// Alt+Enter, the boss key, and typing into the text fields.
#include "shell/main_form.h"

namespace {

bool Typeable(uint32_t character) {
  return character == ' ' || (character >= '0' && character <= '9') ||
         (character >= 'A' && character <= 'Z') || (character >= 'a' && character <= 'z');
}

// Keys whose character a text field takes: while one is being typed into, these type and never
// act as the boss key.
bool TypesIntoTextField(uint16_t key) {
  return key == vk::Space || (key >= vk::Digit0 && key <= vk::Digit(9)) ||
         (key >= vk::KeyA && key <= vk::Letter('Z')) ||
         (key >= vk::Numpad0 && key <= vk::Numpad(9));
}

}  // namespace

void TmainForm::FormKeyDown(uint16_t key, platform::ShiftState shift) {
  // Deleting repeats while Backspace is held, latch or not.
  if (Input.TextEntryActive && key == vk::Back) {
    EditText([](std::string& text) {
      if (!text.empty()) text.pop_back();
    });
  }
  // Every key-down latches until a key-up: a held key acts once, and while it is held other
  // presses do nothing. The latch is set first so that a failing action is not repeated.
  const bool latched = Input.KeyLatch;
  Input.KeyLatch = true;
  if (latched) return;
  switch (Screen.GameState) {
    case gsMenu:
    case gsExitQuestion:
    case gsNameEntry:
    case gsSendQuestion:
      MenuKeyDown(key, shift);
      break;
    case gsPlaying:
    case gsDying:
    case gsLevelBanner:
    case gsPaused:
      GameKeyDown(key);
      break;
    default:
      break;
  }
}

void TmainForm::MenuKeyDown(uint16_t key, platform::ShiftState shift) {
  ScreenState& s = Screen;
  const TMenuScreen screen = s.MenuScreen;
  const bool hasItems = Menu.ItemRects.ItemCount(screen) > 0;
  const bool arrowsMoveFocus = screen == msScores || screen == msHelp || screen == msExitDialog ||
                               screen == msClearScoresDialog || screen == msResultDialog ||
                               screen == msSendDialog;
  const bool optionSwitch =
      screen == msOptions && s.MenuFocus >= oiDisplayMode && s.MenuFocus <= oiSound;
  switch (key) {
    case vk::Return:
      if ((shift & platform::ssAlt) != 0) return;  // Alt+Enter acts on release
      if (s.GameState == gsNameEntry && screen == msResultDialog && s.MenuFocus == riName &&
          Input.TextEntryActive) {
        // Enter after typing the name takes the result, as OK does.
        Input.TextEntryActive = false;
        TakeResult();
        return;
      }
      ActivateItem();
      return;
    case vk::Escape:
      Input.PointerOnMainMenu = false;
      switch (screen) {
        case msMainMenu:
          Close();
          break;
        case msOptions:
          s.MenuFocus = oiBack;
          Input.TextEntryActive = false;
          ActivateItem();
          break;
        case msScores:
        case msHelp:
          s.MenuFocus = siBack;
          ActivateItem();
          break;
        case msExitDialog:
        case msClearScoresDialog:
          s.MenuFocus = diCancel;
          ActivateItem();
          break;
        default:
          break;
      }
      return;
    case vk::Up:
      if (hasItems) MoveFocus(-1);
      return;
    case vk::Down:
      if (hasItems) MoveFocus(1);
      return;
    case vk::Left:
    case vk::Right:
      if (optionSwitch) {
        // The arrows toggle the focused switch, whatever main-menu item the pointer rests on.
        Input.PointerOnMainMenu = false;
        ActivateItem();
      } else if (arrowsMoveFocus) {
        MoveFocus(key == vk::Left ? -1 : 1);
      }
      return;
    default:
      break;
  }
  if (screen == msBossKeyPrompt) {
    if (key != vk::Shift && key != vk::Control && key != vk::Menu) TakeBossKey(key);
    return;
  }
  if (Input.TextEntryActive && TypesIntoTextField(key)) return;
  if (key == Config.BossKey) platform_.window().Minimise();
}

void TmainForm::MoveFocus(int step) {
  ScreenState& s = Screen;
  const uint8_t count = Menu.ItemRects.ItemCount(s.MenuScreen);
  Input.PointerOnMainMenu = false;
  if (step < 0) {
    s.MenuFocus = s.MenuFocus <= 1 ? count : static_cast<uint8_t>(s.MenuFocus - 1);
  } else {
    s.MenuFocus = s.MenuFocus >= count ? 1 : static_cast<uint8_t>(s.MenuFocus + 1);
  }
  UpdateHighlight();
}

void TmainForm::GameKeyDown(uint16_t key) {
  ScreenState& s = Screen;
  if (key == vk::Escape) {
    Close();
    return;
  }
  // P is tested before the boss key, so a boss key P pauses.
  if (key == vk::Letter('P')) {
    if (IsGameRunning(s.GameState)) {
      Pause();
    } else if (s.GameState == gsPaused) {
      Resume();
    }
    return;
  }
  if (key == Config.BossKey) {
    if (Config.MusicOn) platform_.music().SongStop(CurrentSong);
    Pause();
    platform_.window().Minimise();
  }
}

void TmainForm::FormKeyUp(uint16_t key, platform::ShiftState shift) {
  Input.KeyLatch = false;
  // Alt+Enter acts on release, in every state.
  if ((shift & platform::ssAlt) != 0 && key == vk::Return) {
    Config.WindowedMode = Config.WindowedMode != 0 ? 0 : 1;
    ChangeMode();
    SaveConfig();
  }
}

void TmainForm::FormKeyPress(uint32_t character) {
  // Typing is not latched: characters repeat while their key is held.
  if (!Input.TextEntryActive || !Typeable(character)) return;
  EditText([character](std::string& text) {
    if (text.size() < MaxTextLength) text.push_back(static_cast<char>(character));
  });
}

void TmainForm::EditText(const std::function<void(std::string&)>& change) {
  const ScreenState& s = Screen;
  const bool country =
      s.MenuScreen == msOptions || (s.MenuScreen == msResultDialog && s.MenuFocus == riCountry);
  if (country) {
    std::string text = Config.PlayerCountry.Text();
    change(text);
    Config.PlayerCountry.SetText(text);
  } else if (s.MenuScreen == msResultDialog && s.MenuFocus == riName) {
    change(PlayerName);
  }
}
