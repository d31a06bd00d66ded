#include <gtest/gtest.h>

#include "tests/engine/platform/sdl_fixture.h"
#include "tests/engine/platform/virtual_stick.h"

namespace {

// A plain stick, not a gamepad: read as it is, axes and buttons in its own numbering.
class PlainStick : public VirtualStick {
 public:
  PlainStick(int axes, int buttons) : VirtualStick(SDL_JOYSTICK_TYPE_FLIGHT_STICK, axes, buttons) {}
};

class SdlJoystickTest : public SdlPlatformTest {
 protected:
  void SetUp() override {
    SdlPlatformTest::SetUp();
    ReadSticksInTheBackground();
  }
};

TEST_F(SdlJoystickTest, StickPluggedInWhileRunningIsReadAndLetGoWhenUnplugged) {
  platform::JoystickReading reading;
  EXPECT_FALSE(platform_->joystick().Read(reading));  // nothing attached yet

  auto stick = std::make_unique<PlainStick>(3, 34);
  Drain();  // the game's loop sees the stick arrive
  ASSERT_TRUE(platform_->joystick().Read(reading));
  EXPECT_EQ(reading.x.min, 0);
  EXPECT_EQ(reading.x.max, 65535);
  EXPECT_EQ(reading.x.position, 32768);  // centred

  stick->Axis(0, -32768);
  stick->Axis(1, 32767);
  stick->Axis(2, 0);
  stick->Button(0, true);
  stick->Button(4, true);
  stick->Button(31, true);
  stick->Button(33, true);  // beyond the 32 buttons the game knows
  Drain();
  ASSERT_TRUE(platform_->joystick().Read(reading));
  EXPECT_EQ(reading.x.position, 0);
  EXPECT_EQ(reading.y.position, 65535);
  EXPECT_EQ(reading.y.min, 0);
  EXPECT_EQ(reading.y.max, 65535);
  EXPECT_EQ(reading.z.position, 32768);
  EXPECT_EQ(reading.buttons, (1u << 0) | (1u << 4) | (1u << 31));

  stick->Button(4, false);
  Drain();
  ASSERT_TRUE(platform_->joystick().Read(reading));
  EXPECT_EQ(reading.buttons, (1u << 0) | (1u << 31));

  stick.reset();  // unplugged
  Drain();
  EXPECT_FALSE(platform_->joystick().Read(reading));

  // Plugged in again: taken up again.
  stick = std::make_unique<PlainStick>(2, 4);
  Drain();
  ASSERT_TRUE(platform_->joystick().Read(reading));
  EXPECT_EQ(reading.z.position, 32768);  // a stick without Z rests in the middle
}

TEST_F(SdlJoystickTest, WhenTheOpenStickIsUnpluggedAnotherAttachedOneIsTakenUp) {
  PlainStick first(2, 2);
  Drain();
  PlainStick second(2, 2);
  second.Button(1, true);
  Drain();
  platform::JoystickReading reading;
  ASSERT_TRUE(platform_->joystick().Read(reading));
  EXPECT_EQ(reading.buttons, 0u);  // the first stick is the one read

  first.Unplug();
  Drain();
  ASSERT_TRUE(platform_->joystick().Read(reading));
  EXPECT_EQ(reading.buttons, 1u << 1);
}

TEST(SdlJoystickAtStart, StickAttachedBeforeTheGameStartsIsTakenUp) {
  ReadSticksInTheBackground();
  ASSERT_EQ(SDL_InitSubSystem(SDL_INIT_JOYSTICK), 0) << SDL_GetError();
  {
    PlainStick stick(2, 2);
    stick.Button(0, true);
    SDL_JoystickUpdate();
    auto platform = platform::sdl::CreateSdlPlatform(SKARVEL_FONT_DIR);
    platform::JoystickReading reading;
    ASSERT_TRUE(platform->joystick().Read(reading));
    EXPECT_EQ(reading.buttons, 1u);
  }
  SDL_QuitSubSystem(SDL_INIT_JOYSTICK);
  EXPECT_EQ(SDL_WasInit(SDL_INIT_EVERYTHING), 0u);
  SDL_Quit();
}

}  // namespace
