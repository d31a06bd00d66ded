#include <gtest/gtest.h>

#include "engine/platform/virtual_keys.h"
#include "tests/engine/platform/sdl_fixture.h"

namespace {

using platform::Event;
using platform::EventKind;

SDL_Event KeyEvent(Uint32 type, SDL_Keycode symbol, SDL_Scancode scancode, Uint16 mod,
                   Uint8 repeat = 0) {
  SDL_Event event{};
  event.type = type;
  event.key.state = type == SDL_KEYDOWN ? SDL_PRESSED : SDL_RELEASED;
  event.key.repeat = repeat;
  event.key.keysym.sym = symbol;
  event.key.keysym.scancode = scancode;
  event.key.keysym.mod = mod;
  return event;
}

SDL_Event TextEvent(const char* text) {
  SDL_Event event{};
  event.type = SDL_TEXTINPUT;
  std::strncpy(event.text.text, text, sizeof(event.text.text) - 1);
  return event;
}

using SdlEventsTest = SdlPlatformTest;

TEST_F(SdlEventsTest, KeysArriveAsVirtualKeysWithRepeatAndShiftState) {
  Push(KeyEvent(SDL_KEYDOWN, SDLK_a, SDL_SCANCODE_A, KMOD_LSHIFT));
  Push(KeyEvent(SDL_KEYDOWN, SDLK_a, SDL_SCANCODE_A, KMOD_LSHIFT | KMOD_RCTRL, 1));
  Push(KeyEvent(SDL_KEYUP, SDLK_a, SDL_SCANCODE_A, KMOD_NONE));
  Push(KeyEvent(SDL_KEYDOWN, SDLK_RALT, SDL_SCANCODE_RALT, KMOD_RALT));
  Push(KeyEvent(SDL_KEYDOWN, SDLK_UNKNOWN, SDL_SCANCODE_UNKNOWN, KMOD_NONE));  // no number: dropped

  const std::vector<Event> events = Drain();
  ASSERT_EQ(events.size(), 4u);
  EXPECT_EQ(events[0].kind, EventKind::KeyDown);
  EXPECT_EQ(events[0].key, vk::Letter('A'));
  EXPECT_FALSE(events[0].repeat);
  EXPECT_EQ(events[0].shift, platform::ssShift);
  EXPECT_EQ(events[1].kind, EventKind::KeyDown);
  EXPECT_TRUE(events[1].repeat);
  EXPECT_EQ(events[1].shift, platform::ssShift | platform::ssCtrl);
  EXPECT_EQ(events[2].kind, EventKind::KeyUp);
  EXPECT_EQ(events[2].key, vk::Letter('A'));
  EXPECT_EQ(events[2].shift, 0);
  EXPECT_EQ(events[3].key, vk::Menu);  // Alt in events is the generic code
  EXPECT_EQ(events[3].shift, platform::ssAlt);
}

TEST_F(SdlEventsTest, TypedTextBecomesOneCharacterEventPerLatin1CodePoint) {
  // "A", e acute, the euro sign (beyond Latin-1: not passed on), y diaeresis, a stray byte.
  Push(TextEvent("A\xC3\xA9\xE2\x82\xAC\xC3\xBF\xFF"));
  std::vector<uint32_t> characters;
  for (const Event& event : Drain()) {
    EXPECT_EQ(event.kind, EventKind::Character);
    characters.push_back(event.character);
  }
  EXPECT_EQ(characters, (std::vector<uint32_t>{'A', 0xE9, 0xFF}));
}

TEST_F(SdlEventsTest, PointerButtonsReportTheButtonAndHoldItInTheShiftState) {
  SDL_Event event{};
  event.type = SDL_MOUSEBUTTONDOWN;
  event.button.windowID = SDL_GetWindowID(window_);
  event.button.button = SDL_BUTTON_LEFT;
  event.button.state = SDL_PRESSED;
  event.button.x = 100;
  event.button.y = 50;
  Push(event);
  SDL_Event move{};
  move.type = SDL_MOUSEMOTION;
  move.motion.windowID = SDL_GetWindowID(window_);
  move.motion.x = 120;
  move.motion.y = 60;
  Push(move);
  event.type = SDL_MOUSEBUTTONUP;
  event.button.state = SDL_RELEASED;
  Push(event);
  event.type = SDL_MOUSEBUTTONDOWN;
  event.button.button = SDL_BUTTON_RIGHT;
  Push(event);
  event.button.button = SDL_BUTTON_X1;  // not one of the game's buttons
  Push(event);

  const std::vector<Event> events = Drain();
  ASSERT_EQ(events.size(), 4u);
  EXPECT_EQ(events[0].kind, EventKind::PointerDown);
  EXPECT_EQ(events[0].button, platform::PointerButton::Left);
  EXPECT_EQ(events[0].x, 100);
  EXPECT_EQ(events[0].y, 50);
  EXPECT_EQ(events[0].shift, platform::ssLeft);
  EXPECT_EQ(events[1].kind, EventKind::PointerMove);
  EXPECT_EQ(events[1].x, 120);
  EXPECT_EQ(events[1].y, 60);
  EXPECT_EQ(events[1].shift, platform::ssLeft);  // dragging
  EXPECT_EQ(events[2].kind, EventKind::PointerUp);
  EXPECT_EQ(events[2].shift, 0);
  EXPECT_EQ(events[3].kind, EventKind::PointerDown);
  EXPECT_EQ(events[3].button, platform::PointerButton::Right);
  EXPECT_EQ(events[3].shift, platform::ssRight);
}

TEST_F(SdlEventsTest, FocusChangesActivateAndDeactivateOnceEach) {
  PushWindowEvent(SDL_WINDOWEVENT_FOCUS_GAINED);  // already active: nothing new
  PushWindowEvent(SDL_WINDOWEVENT_FOCUS_LOST);
  PushWindowEvent(SDL_WINDOWEVENT_MINIMIZED);  // already inactive
  PushWindowEvent(SDL_WINDOWEVENT_FOCUS_GAINED);
  PushWindowEvent(SDL_WINDOWEVENT_MINIMIZED);  // minimised with the focus kept
  const std::vector<Event> events = Drain();
  ASSERT_EQ(events.size(), 3u);
  EXPECT_EQ(events[0].kind, EventKind::Deactivate);
  EXPECT_EQ(events[1].kind, EventKind::Activate);
  EXPECT_EQ(events[2].kind, EventKind::Deactivate);
}

TEST_F(SdlEventsTest, CloseBoxAndQuitBecomeCloseRequests) {
  PushWindowEvent(SDL_WINDOWEVENT_CLOSE);
  SDL_Event quit{};
  quit.type = SDL_QUIT;
  Push(quit);
  const std::vector<Event> events = Drain();
  ASSERT_EQ(events.size(), 2u);
  EXPECT_EQ(events[0].kind, EventKind::CloseRequest);
  EXPECT_EQ(events[1].kind, EventKind::CloseRequest);
}

TEST_F(SdlEventsTest, MaximisingIsTheSystemCommandMaximiseOnlyInTheWindow) {
  PushWindowEvent(SDL_WINDOWEVENT_MAXIMIZED);
  std::vector<Event> events = Drain();
  ASSERT_EQ(events.size(), 1u);
  EXPECT_EQ(events[0].kind, EventKind::SysCommandMaximise);

  ASSERT_TRUE(platform_->window().SetFullScreen(true));
  Drain();
  PushWindowEvent(SDL_WINDOWEVENT_MAXIMIZED);  // the desktop's own report in full screen
  events = Drain();
  EXPECT_TRUE(events.empty());
}

TEST_F(SdlEventsTest, WaitReturnsAtOnceForAPendingEventAndSleepsOtherwise) {
  Push(KeyEvent(SDL_KEYDOWN, SDLK_a, SDL_SCANCODE_A, KMOD_NONE));
  const Uint64 before = SDL_GetTicks64();
  platform_->events().Wait(5000);  // an event is waiting: no sleep
  EXPECT_LT(SDL_GetTicks64() - before, 4000u);
  EXPECT_EQ(Drain().size(), 1u);

  const Uint64 start = SDL_GetTicks64();
  platform_->events().Wait(30);  // nothing pending: sleeps for the timeout
  EXPECT_GE(SDL_GetTicks64() - start, 25u);
}

}  // namespace
