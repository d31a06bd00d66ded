#include <SDL.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "tests/engine/platform/sdl_fixture.h"
#include "tests/engine/platform/virtual_stick.h"

namespace {

using platform::EventKind;
using platform::PadButton;

// The pad events among the game's events, as text: "+A" for a PadDown, "-A" for a PadUp.
std::string PadEvents(const std::vector<platform::Event>& events) {
  static const char* const names[] = {"Up", "Down", "Left", "Right", "A", "B", "Back", "Start"};
  std::string text;
  for (const platform::Event& event : events) {
    if (event.kind != EventKind::PadDown && event.kind != EventKind::PadUp) continue;
    if (!text.empty()) text += ' ';
    text += event.kind == EventKind::PadDown ? '+' : '-';
    text += names[static_cast<int>(event.pad)];
  }
  return text;
}

class SdlGamepadTest : public SdlPlatformTest {
 protected:
  void SetUp() override {
    ReadSticksInTheBackground();
    SdlPlatformTest::SetUp();
  }
  std::string Pad() { return PadEvents(Drain()); }
};

TEST_F(SdlGamepadTest, ThePadsControlsBecomeTheGamesPadEvents) {
  VirtualPad pad;
  EXPECT_EQ(Pad(), "");  // plugged in: nothing pressed

  struct Case {
    int button;
    const char* pressed;
    const char* released;
  };
  const Case cases[] = {
      {VirtualPad::A, "+A", "-A"},
      {VirtualPad::B, "+B", "-B"},
      {VirtualPad::Back, "+Back", "-Back"},
      {VirtualPad::Start, "+Start", "-Start"},
      {VirtualPad::Up, "+Up", "-Up"},
      {VirtualPad::Down, "+Down", "-Down"},
      {VirtualPad::Left, "+Left", "-Left"},
      {VirtualPad::Right, "+Right", "-Right"},
      {VirtualPad::X, "", ""},  // no meaning to the game
  };
  for (const Case& c : cases) {
    pad.Button(c.button, true);
    EXPECT_EQ(Pad(), c.pressed) << c.button;
    pad.Button(c.button, false);
    EXPECT_EQ(Pad(), c.released) << c.button;
  }

  // The left stick: a push past its dead zone is one press, however far it then goes.
  pad.Axis(VirtualPad::LeftY, 6000);
  EXPECT_EQ(Pad(), "");
  pad.Axis(VirtualPad::LeftY, 20000);
  EXPECT_EQ(Pad(), "+Down");
  pad.Axis(VirtualPad::LeftY, 32767);
  EXPECT_EQ(Pad(), "");
  pad.Axis(VirtualPad::LeftY, 0);
  EXPECT_EQ(Pad(), "-Down");
  pad.Axis(VirtualPad::LeftX, -32768);
  EXPECT_EQ(Pad(), "+Left");
  pad.Axis(VirtualPad::LeftX, 0);
  EXPECT_EQ(Pad(), "-Left");
}

TEST_F(SdlGamepadTest, PadsPluggedInAndPulledOutWhileRunningLetGoOfWhatTheyHeld) {
  auto first = std::make_unique<VirtualPad>();
  Drain();
  first->Button(VirtualPad::A, true);
  first->Axis(VirtualPad::LeftX, 30000);
  EXPECT_EQ(Pad(), "+Right +A");

  first.reset();  // pulled out with A held and the stick pushed
  EXPECT_EQ(Pad(), "-Right -A");
  platform::JoystickReading reading;
  EXPECT_FALSE(platform_->joystick().Read(reading));

  // Another pad: it works at once, and so does a second one beside it.
  VirtualPad second;
  Drain();
  second.Button(VirtualPad::Start, true);
  EXPECT_EQ(Pad(), "+Start");
  VirtualPad third;
  Drain();
  third.Button(VirtualPad::B, true);
  EXPECT_EQ(Pad(), "+B");
  second.Unplug();
  EXPECT_EQ(Pad(), "-Start");
  third.Button(VirtualPad::B, false);
  EXPECT_EQ(Pad(), "-B");
  ASSERT_TRUE(platform_->joystick().Read(reading));  // joystick 0 is now the third pad
}

TEST_F(SdlGamepadTest, LosingTheFocusLetsGoOfWhatThePadsHold) {
  VirtualPad pad;
  Drain();
  pad.Button(VirtualPad::A, true);
  pad.Button(VirtualPad::Down, true);
  EXPECT_EQ(Pad(), "+A +Down");
  PushWindowEvent(SDL_WINDOWEVENT_FOCUS_LOST);
  const std::vector<platform::Event> events = Drain();
  EXPECT_EQ(PadEvents(events), "-Down -A");
  ASSERT_FALSE(events.empty());
  EXPECT_EQ(events.back().kind, EventKind::Deactivate);
  // Their own releases later are no news; a fresh press is.
  pad.Button(VirtualPad::A, false);
  pad.Button(VirtualPad::Down, false);
  EXPECT_EQ(Pad(), "");
  pad.Button(VirtualPad::A, true);
  EXPECT_EQ(Pad(), "+A");
}

TEST_F(SdlGamepadTest, APadIsJoystickZeroThroughItsMappingWithTheDpadAsTheStick) {
  VirtualPad pad;
  Drain();
  pad.Axis(VirtualPad::LeftX, -32768);
  pad.Axis(VirtualPad::LeftY, 32767);
  pad.Axis(2, 32767);  // the right stick is no part of joystick 0
  pad.Button(VirtualPad::A, true);
  pad.Button(VirtualPad::Start, true);
  Drain();
  platform::JoystickReading reading;
  ASSERT_TRUE(platform_->joystick().Read(reading));
  EXPECT_EQ(reading.x.position, 0);
  EXPECT_EQ(reading.y.position, 65535);
  EXPECT_EQ(reading.z.position, 32768);
  // A is button 1, the fire button; the others follow in SDL's order (Start is the seventh).
  EXPECT_EQ(reading.buttons, (1u << 0) | (1u << 6));

  pad.Axis(VirtualPad::LeftX, 0);
  pad.Axis(VirtualPad::LeftY, 0);
  pad.Button(VirtualPad::Right, true);
  pad.Button(VirtualPad::Up, true);
  Drain();
  ASSERT_TRUE(platform_->joystick().Read(reading));
  EXPECT_EQ(reading.x.position, 65535);  // the D-pad pushes the stick all the way
  EXPECT_EQ(reading.y.position, 0);
}

// Writes SDL's GUID of a plain virtual stick with this many axes and buttons (SDL derives it from
// the stick's kind, name and counts, so the same stick attached later has the same one).
std::string PlainStickGuid(int axes, int buttons) {
  EXPECT_EQ(SDL_InitSubSystem(SDL_INIT_JOYSTICK), 0) << SDL_GetError();
  std::string text(33, '\0');
  {
    VirtualStick stick(SDL_JOYSTICK_TYPE_FLIGHT_STICK, axes, buttons);
    SDL_JoystickGetGUIDString(SDL_JoystickGetDeviceGUID(0), text.data(),
                              static_cast<int>(text.size()));
  }
  SDL_QuitSubSystem(SDL_INIT_JOYSTICK);
  text.resize(text.find('\0'));
  // Mappings name a device without the check sum of its name that SDL keeps in the GUID's third
  // and fourth bytes.
  if (text.size() == 32) text.replace(4, 4, "0000");
  return text;
}

TEST(SdlGamepadMapping, APlayersOwnMappingFromTheEnvironmentMakesAStickAPad) {
  ReadSticksInTheBackground();
  const std::string guid = PlainStickGuid(2, 4);
  ASSERT_EQ(guid.size(), 32u);
  // The stick's own buttons 0..3 are, on this pad, B, A, Start and Back.
  const std::string mapping = guid + ",Player's pad,a:b1,b:b0,start:b2,back:b3,leftx:a0,lefty:a1,";
  setenv("SDL_GAMECONTROLLERCONFIG", mapping.c_str(), 1);
  {
    auto platform = platform::sdl::CreateSdlPlatform(SKARVEL_FONT_DIR);
    std::vector<platform::Event> events;
    const auto pad = [&] {
      events.clear();
      platform::Event event;
      while (platform->events().Poll(event)) events.push_back(event);
      return PadEvents(events);
    };
    VirtualStick stick(SDL_JOYSTICK_TYPE_FLIGHT_STICK, 2, 4);
    pad();
    ASSERT_TRUE(SDL_IsGameController(0));
    stick.Button(1, true);
    EXPECT_EQ(pad(), "+A");
    stick.Button(2, true);
    EXPECT_EQ(pad(), "+Start");
    platform::JoystickReading reading;
    ASSERT_TRUE(platform->joystick().Read(reading));
    EXPECT_EQ(reading.buttons, (1u << 0) | (1u << 6));  // read as a pad: A fires
  }
  unsetenv("SDL_GAMECONTROLLERCONFIG");
  EXPECT_EQ(SDL_WasInit(SDL_INIT_EVERYTHING), 0u);
  SDL_Quit();
}

}  // namespace
