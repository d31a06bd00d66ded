#include <gtest/gtest.h>

#include "tests/platform/sdl_fixture.h"

namespace {

// A virtual stick: what SDL would report for a real one plugged into the machine.
class VirtualStick {
 public:
  VirtualStick(int axes, int buttons) {
    index_ = SDL_JoystickAttachVirtual(SDL_JOYSTICK_TYPE_GAMECONTROLLER, axes, buttons, 0);
    EXPECT_GE(index_, 0) << SDL_GetError();
    instance_ = SDL_JoystickGetDeviceInstanceID(index_);
    // Its own handle, to move the stick; SDL shares the device with the platform's.
    handle_ = SDL_JoystickOpen(index_);
    EXPECT_NE(handle_, nullptr) << SDL_GetError();
  }
  ~VirtualStick() { Unplug(); }
  VirtualStick(const VirtualStick&) = delete;
  VirtualStick& operator=(const VirtualStick&) = delete;

  void Axis(int axis, Sint16 value) { SDL_JoystickSetVirtualAxis(handle_, axis, value); }
  void Button(int button, bool down) {
    SDL_JoystickSetVirtualButton(handle_, button, down ? SDL_PRESSED : SDL_RELEASED);
  }
  void Unplug() {
    if (handle_ == nullptr) return;
    SDL_JoystickClose(handle_);
    handle_ = nullptr;
    // Sticks plugged in or out since move the device indexes; the instance stays.
    for (int index = 0; index < SDL_NumJoysticks(); ++index) {
      if (SDL_JoystickGetDeviceInstanceID(index) == instance_) SDL_JoystickDetachVirtual(index);
    }
  }

 private:
  int index_ = -1;
  SDL_Joystick* handle_ = nullptr;
  SDL_JoystickID instance_ = -1;
};

// SDL ignores sticks while no window of the program has the keyboard, and a window of the dummy
// driver never has it.
void ReadSticksInTheBackground() {
  SDL_SetHint(SDL_HINT_JOYSTICK_ALLOW_BACKGROUND_EVENTS, "1");
}

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

  auto stick = std::make_unique<VirtualStick>(3, 34);
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
  stick = std::make_unique<VirtualStick>(2, 4);
  Drain();
  ASSERT_TRUE(platform_->joystick().Read(reading));
  EXPECT_EQ(reading.z.position, 32768);  // a stick without Z rests in the middle
}

TEST_F(SdlJoystickTest, WhenTheOpenStickIsUnpluggedAnotherAttachedOneIsTakenUp) {
  VirtualStick first(2, 2);
  Drain();
  VirtualStick second(2, 2);
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
    VirtualStick stick(2, 2);
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
