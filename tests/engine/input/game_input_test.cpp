#include "engine/input/game_input.h"

#include <gtest/gtest.h>

#include "engine/platform/virtual_keys.h"
#include "tests/support/headless.h"

namespace {

class GameInputTest : public ::testing::Test {
 protected:
  platform::headless::HeadlessPlatform machine = MakeHeadlessPlatform();
  TGameInput input{machine.keyboardImpl, machine.joystickImpl, machine.windowImpl};
  platform::headless::HeadlessKeyboard& keys = machine.keyboardImpl;
};

TEST_F(GameInputTest, TwoKeysOfOneStateSetItOnceAndItClearsOnlyWhenBothAreReleased) {
  keys.Press(vk::Letter('W'));
  keys.Press(vk::Up);
  input.Update();
  EXPECT_TRUE(input.Held(isUp));
  keys.Release(vk::Letter('W'));
  input.Update();
  EXPECT_TRUE(input.Held(isUp));
  keys.Release(vk::Up);
  input.Update();
  EXPECT_FALSE(input.Held(isUp));
}

TEST_F(GameInputTest, EveryAssignedKeySetsItsState) {
  input.Keyboard.Assigns[isButton(1)][0] = vk::Control;  // as start-up does
  struct Case {
    uint16_t key;
    TInputState state;
  };
  const Case cases[] = {
      {vk::Letter('W'), isUp},    {vk::Up, isUp},           {vk::Numpad(8), isUp},
      {vk::Letter('S'), isDown},  {vk::Down, isDown},       {vk::Numpad(2), isDown},
      {vk::Letter('A'), isLeft},  {vk::Left, isLeft},       {vk::Numpad(4), isLeft},
      {vk::Letter('D'), isRight}, {vk::Right, isRight},     {vk::Numpad(6), isRight},
      {vk::Control, isButton(1)}, {vk::Space, isButton(1)}, {vk::Shift, isButton(2)},
      {vk::Return, isButton(2)},  {vk::F2, isButton(9)},
  };
  for (const Case& c : cases) {
    keys.Press(c.key);
    input.Update();
    EXPECT_TRUE(input.Held(c.state)) << c.key;
    EXPECT_EQ(input.ActiveStates().count(), 1u) << c.key;
    keys.Release(c.key);
    input.Update();
    EXPECT_TRUE(input.ActiveStates().none()) << c.key;
  }
  keys.Press(vk::Letter('Z'));  // the design table's fire key, replaced by Ctrl
  input.Update();
  EXPECT_TRUE(input.ActiveStates().none());
}

TEST_F(GameInputTest, OnlyEdgesChangeTheStatesSoOneRemovedByHandStaysRemoved) {
  keys.Press(vk::Letter('D'));
  input.Update();
  TInputStates& states = const_cast<TInputStates&>(input.ActiveStates());
  states.reset(isRight);
  input.Update();  // still held, but no new press edge
  EXPECT_FALSE(input.Held(isRight));
  keys.Release(vk::Letter('D'));
  input.Update();
  keys.Press(vk::Letter('D'));
  input.Update();
  EXPECT_TRUE(input.Held(isRight));
}

TEST_F(GameInputTest, WhileAnotherWindowHasTheFocusEveryStateClears) {
  keys.Press(vk::Up);
  machine.joystickImpl.attached = true;
  machine.joystickImpl.reading.buttons = 1;
  input.Update();
  EXPECT_TRUE(input.Held(isUp));
  EXPECT_TRUE(input.Held(isButton(1)));
  machine.windowImpl.foreground = false;
  input.Update();
  EXPECT_TRUE(input.ActiveStates().none());
}

TEST_F(GameInputTest, AnUnreadableKeyboardContributesNothing) {
  keys.Press(vk::Up);
  keys.available = false;
  input.Update();
  EXPECT_TRUE(input.ActiveStates().none());
}

TEST_F(GameInputTest, JoystickAxesAndButtonsSetTheirStates) {
  auto& stick = machine.joystickImpl;
  stick.attached = true;
  const platform::JoystickReading::Axis centre{32767, 0, 65535};
  stick.reading.x = {0, 0, 65535};      // full left
  stick.reading.y = {65535, 0, 65535};  // full down
  stick.reading.z = centre;
  stick.reading.buttons = (1u << 0) | (1u << 31);
  input.Update();
  EXPECT_EQ(input.Joystick.X, -1000);
  EXPECT_EQ(input.Joystick.Y, 1000);
  EXPECT_TRUE(input.Held(isLeft));
  EXPECT_TRUE(input.Held(isDown));
  EXPECT_FALSE(input.Held(isUp));
  EXPECT_TRUE(input.Held(isButton(1)));
  EXPECT_TRUE(input.Held(isButton(32)));
  stick.attached = false;  // unplugged
  input.Update();
  EXPECT_TRUE(input.ActiveStates().none());
}

TEST(JoystickAxisValue, ReadsZeroInsideTheDeadZoneAndScalesBeyondIt) {
  // Travel 0..65535: half travel 32767, dead zone 50% = 16383 around the centre.
  struct Case {
    int position;
    int32_t expected;
  };
  const Case cases[] = {
      {32767, 0},         {32767 + 16383, 0},    {32767 - 16383, 0},  // centre and the zone's edges
      {32767 + 16384, 0},                         // 1 * 1000 / 16384 rounds to 0
      {32767 + 16392, 1},                         // 9 * 1000 / 16384 = 0.55
      {65535, 1000},      {65534, 1000},          // 16385 * 1000 / 16384 = 1000.06
      {0, -1000},         {32767 - 24575, -500},  // -8192 * 1000 / 16384
  };
  for (const Case& c : cases) {
    EXPECT_EQ(JoystickAxisValue({c.position, 0, 65535}, 50, 1000), c.expected) << c.position;
  }
  // Ties go to the even neighbour. Half travel 100, dead zone 50: position 151 is 1 beyond the
  // zone, 1 * 25 / 50 = 0.5 -> 0; position 153 is 3 beyond, 1.5 -> 2.
  EXPECT_EQ(JoystickAxisValue({151, 0, 200}, 50, 25), 0);
  EXPECT_EQ(JoystickAxisValue({153, 0, 200}, 50, 25), 2);
  // A dead zone of the whole travel, or no travel at all, always reads 0.
  EXPECT_EQ(JoystickAxisValue({65535, 0, 65535}, 100, 1000), 0);
  EXPECT_EQ(JoystickAxisValue({5, 0, 0}, 50, 1000), 0);
}

}  // namespace
