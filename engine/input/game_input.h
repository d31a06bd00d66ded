// The input component: turns the keyboard and joystick 0 into the 36 input states (Up, Down,
// Left, Right, Button1..Button32) that the game reads once per frame. ActiveStates changes only
// on press and release edges of the combined devices.
#pragma once

#include <array>
#include <bitset>
#include <cstdint>

#include "engine/platform/platform.h"

enum TInputState : uint8_t { isUp, isDown, isLeft, isRight, isButton1 };
constexpr int InputStateCount = 36;
// Button n (1..32) is state 3 + n.
constexpr TInputState isButton(int n) {
  return static_cast<TInputState>(isButton1 + n - 1);
}

using TInputStates = std::bitset<InputStateCount>;

// Up to three virtual keys per input state (0 = none).
using TKeyAssignList = std::array<std::array<int32_t, 3>, InputStateCount>;

// The design table: W/Up/numpad 8, S/Down/numpad 2, A/Left/numpad 4, D/Right/numpad 6;
// Button1 Z and Space, Button2 Shift and Enter, Button9 F2. Start-up puts Ctrl in Z's place.
TKeyAssignList DefaultKeyAssigns();

// One joystick axis read without the input device, in -range..range with a dead zone given in per
// cent of the half travel.
int32_t JoystickAxisValue(const platform::JoystickReading::Axis& axis, int32_t deadZone,
                          int32_t range);

class TKeyboard {
 public:
  bool Enabled = true;
  bool BindInputStates = true;
  TKeyAssignList Assigns = DefaultKeyAssigns();
  platform::KeyTable Keys{};  // bit 7 set: down
  TInputStates States;
};

class TJoystick {
 public:
  bool Enabled = true;
  bool BindInputStates = true;
  int32_t ID = 0;
  bool AutoCenter = true;
  int32_t DeadZoneX = 50, DeadZoneY = 50, DeadZoneZ = 50;
  int32_t RangeX = 1000, RangeY = 1000, RangeZ = 1000;
  int32_t X = 0, Y = 0, Z = 0;
  TInputStates States;
};

// The mouse device exists but is disabled and bound to no states.
class TMouse {
 public:
  bool Enabled = false;
  bool BindInputStates = false;
  TInputStates States;
};

class TGameInput {
 public:
  TGameInput(platform::Keyboard& keyboard, platform::Joystick& joystick, platform::Window& window);

  bool ActiveOnly = true;
  TJoystick Joystick;
  TKeyboard Keyboard;
  TMouse Mouse;

  // Reads the devices and applies the press and release edges to ActiveStates.
  void Update();
  const TInputStates& ActiveStates() const { return activeStates_; }
  bool Held(TInputState state) const { return activeStates_.test(state); }
  // Sets the states as a recording gives them, in place of a reading of the devices.
  void SetActiveStates(const TInputStates& states) { activeStates_ = states; }

 private:
  bool DevicesMayRead();
  void UpdateJoystick();
  void UpdateKeyboard();

  platform::Keyboard& keyboardDevice_;
  platform::Joystick& joystickDevice_;
  platform::Window& window_;
  TInputStates activeStates_;
  TInputStates previousCombined_;
};
