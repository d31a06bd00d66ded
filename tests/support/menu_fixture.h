// The whole program started on its menu, with a player's hands: keys pressed and released,
// characters typed, the pointer moved and clicked, frames drawn, and what is seen and heard.
#pragma once

#include <gtest/gtest.h>

#include <string_view>

#include "tests/support/game_fixture.h"

class MenuTest : public ::testing::Test, public GameFixture {
 protected:
  void SetUp() override { Start(); }

  ScreenState& screen() { return form->Screen; }
  MenuState& menu() { return form->Menu; }
  InputState& input() { return form->Input; }
  ConfigRecord& config() { return form->Config; }

  // A key pressed and let go.
  void Press(uint16_t key, platform::ShiftState shift = 0) {
    machine.KeyDown(key, shift);
    machine.KeyUp(key, shift);
    form->ProcessMessages();
  }
  void Hold(uint16_t key, bool repeat = false) {
    machine.KeyDown(key, 0, repeat);
    form->ProcessMessages();
  }
  void Release(uint16_t key) {
    machine.KeyUp(key);
    form->ProcessMessages();
  }
  void Type(std::string_view text) {
    for (const char c : text) machine.Type(static_cast<unsigned char>(c));
    form->ProcessMessages();
  }
  void MoveTo(int x, int y) {
    platform::Event event;
    event.kind = platform::EventKind::PointerMove;
    event.x = x;
    event.y = y;
    machine.Push(event);
    form->ProcessMessages();
  }
  // The left button pressed and released where the pointer is.
  void Click(int x, int y) {
    platform::Event event;
    event.x = x;
    event.y = y;
    event.kind = platform::EventKind::PointerDown;
    machine.Push(event);
    event.kind = platform::EventKind::PointerUp;
    machine.Push(event);
    form->ProcessMessages();
  }
  void MoveAndClick(int x, int y) {
    MoveTo(x, y);
    Click(x, y);
  }
  // The middle of an item's rectangle.
  std::pair<int, int> Centre(TMenuScreen screenNumber, int item) {
    const ItemRect& rect = menu().ItemRects.At(screenNumber, item);
    return {rect.Left + rect.Width / 2, rect.Top + rect.Height / 2};
  }
  void ClickItem(TMenuScreen screenNumber, int item) {
    const auto [x, y] = Centre(screenNumber, item);
    MoveAndClick(x, y);
  }
  // Main-menu item `item`, chosen with the keyboard from wherever the focus is.
  void ChooseMainItem(int item) {
    while (screen().MenuFocus != item) Press(vk::Down);
    Press(vk::Return);
  }

  // New game with the focus on it, played once the banner of level 1 has gone.
  void StartPlaying() {
    Press(vk::Return);
    ASSERT_EQ(form->Screen.GameState, gsLevelBanner);
    PassLevelBanner();
  }
  void PassLevelBanner() {
    for (int i = 0; i < 200 && form->Screen.GameState == gsLevelBanner; ++i) Step(16);
    ASSERT_EQ(form->Screen.GameState, gsPlaying);
  }

  // Draws one frame of the loop that runs and returns the presented pixel.
  uint32_t PixelAfterFrame(int x, int y) {
    Step(16);
    return machine.windowImpl.Pixel(x, y);
  }
  uint32_t Pixel(int x, int y) const { return machine.windowImpl.Pixel(x, y); }

  // Whether a referenced sprite exists and is shown.
  template <typename T>
  static bool Shown(const TSpriteRef<T>& sprite) {
    return sprite && sprite->Visible && !sprite->Killed();
  }
  // The visible item slots 1..6 of a slot set, as a bit per slot (bit 0: slot 1).
  static int ShownSlots(const TItemSlots& slots) {
    int shown = 0;
    for (int i = 1; i <= MaxMenuItems; ++i) {
      if (Shown(slots[i])) shown |= 1 << (i - 1);
    }
    return shown;
  }

  int Plays(std::string_view sound) {
    return test_data::SoundPlays(machine.soundImpl, form->WaveList1, sound);
  }
  std::vector<std::string>& Messages() { return machine.windowImpl.messages; }
};
