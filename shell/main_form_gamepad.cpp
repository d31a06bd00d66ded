// The gamepad's commands: its controls become the keys that the keyboard's handling already
// understands, so the menus answer a pad exactly as they answer the keyboard (one push moves the
// focus once, a held control latches as a held key does). In a game the pad steers and fires as
// joystick 0, through the input states; only Start and Back are commands there.
#include "shell/main_form.h"

namespace {

bool GameKeysApply(TGameState state) {
  return state == gsPlaying || state == gsDying || state == gsLevelBanner || state == gsPaused;
}

size_t Slot(platform::PadButton button) {
  return static_cast<size_t>(button);
}

// How long after play gives way a press of A is taken for the player still firing.
constexpr uint32_t FireHeldOverTime = 500;

}  // namespace

uint16_t TmainForm::GamepadKey(platform::PadButton button) const {
  using platform::PadButton;
  if (GameKeysApply(Screen.GameState)) {
    switch (button) {
      case PadButton::Start:
        return vk::Letter('P');
      case PadButton::Back:
        return vk::Escape;
      default:
        // The D-pad, the stick and A steer and fire; B is kept from asking to leave, as it lies
        // under the thumb that fires.
        return 0;
    }
  }
  switch (button) {
    case PadButton::Up:
      return vk::Up;
    case PadButton::Down:
      return vk::Down;
    case PadButton::Left:
      return vk::Left;
    case PadButton::Right:
      return vk::Right;
    case PadButton::A:
    case PadButton::Start:
      return vk::Return;
    case PadButton::B:
    case PadButton::Back:
      return vk::Escape;
  }
  return 0;
}

void TmainForm::NotePlayLeft() {
  Input.PlayLeftAt = platform_.clock().Milliseconds();
}

bool TmainForm::PadFireStillHeld() {
  if (!Input.PlayLeftAt) return false;
  // Unsigned: the clock's wrap-around is harmless.
  if (platform_.clock().Milliseconds() - *Input.PlayLeftAt < FireHeldOverTime) return true;
  Input.PlayLeftAt.reset();
  return false;
}

void TmainForm::GamepadButtonDown(platform::PadButton button) {
  const uint16_t key = GamepadKey(button);
  if (key == 0) return;
  // A press that began in the game means nothing once it has ended (it went down as no key);
  // one this soon after is the player still firing, not answering what has come up. Its release
  // then lets go of nothing.
  if (button == platform::PadButton::A && PadFireStillHeld()) return;
  // Released as the key it was pressed as, whatever the screen has become since.
  Input.PadKeys[Slot(button)] = key;
  // The boss-key prompt waits for a key of the keyboard, which a pad cannot give: B and Back
  // leave it with the boss key unchanged, where the keyboard's Esc does nothing.
  if (key == vk::Escape && Screen.GameState == gsMenu && Screen.MenuScreen == msBossKeyPrompt &&
      !Input.KeyLatch) {
    Input.KeyLatch = true;
    CloseInnerDialog();
    return;
  }
  FormKeyDown(key, 0);
}

void TmainForm::GamepadButtonUp(platform::PadButton button) {
  const uint16_t key = Input.PadKeys[Slot(button)];
  if (key == 0) return;  // it went down while the game was not listening, or meant nothing then
  Input.PadKeys[Slot(button)] = 0;
  FormKeyUp(key, 0);
}
