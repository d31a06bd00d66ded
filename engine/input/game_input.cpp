#include "engine/input/game_input.h"

#include <cmath>
#include <cstdlib>

#include "engine/platform/virtual_keys.h"

TKeyAssignList DefaultKeyAssigns() {
  TKeyAssignList assigns{};
  assigns[isUp] = {vk::Letter('W'), vk::Up, vk::Numpad(8)};
  assigns[isDown] = {vk::Letter('S'), vk::Down, vk::Numpad(2)};
  assigns[isLeft] = {vk::Letter('A'), vk::Left, vk::Numpad(4)};
  assigns[isRight] = {vk::Letter('D'), vk::Right, vk::Numpad(6)};
  assigns[isButton(1)] = {vk::Letter('Z'), vk::Space, 0};
  assigns[isButton(2)] = {vk::Shift, vk::Return, 0};
  assigns[isButton(9)] = {vk::F2, 0, 0};
  return assigns;
}

int32_t JoystickAxisValue(const platform::JoystickReading::Axis& axis, int32_t deadZone,
                          int32_t range) {
  const int64_t hw = (static_cast<int64_t>(axis.max) - axis.min) / 2;
  const int64_t v = axis.position - hw;
  const int64_t dz = hw * deadZone / 100;
  if (hw - dz == 0 || std::llabs(v) <= dz) return 0;
  const int64_t shifted = v > 0 ? v - dz : v + dz;
  return static_cast<int32_t>(std::nearbyint(static_cast<double>(shifted * range) /
                                             static_cast<double>(hw - dz)));  // ties to even
}

TGameInput::TGameInput(platform::Keyboard& keyboard, platform::Joystick& joystick,
                       platform::Window& window)
    : keyboardDevice_(keyboard), joystickDevice_(joystick), window_(window) {
  Update();
}

bool TGameInput::DevicesMayRead() {
  return !ActiveOnly || window_.IsForeground();
}

void TGameInput::UpdateJoystick() {
  Joystick.States.reset();
  Joystick.X = Joystick.Y = Joystick.Z = 0;
  if (!Joystick.Enabled || !DevicesMayRead()) return;
  platform::JoystickReading reading;
  if (!joystickDevice_.Read(reading)) return;
  Joystick.X = JoystickAxisValue(reading.x, Joystick.DeadZoneX, Joystick.RangeX);
  Joystick.Y = JoystickAxisValue(reading.y, Joystick.DeadZoneY, Joystick.RangeY);
  Joystick.Z = JoystickAxisValue(reading.z, Joystick.DeadZoneZ, Joystick.RangeZ);
  if (Joystick.X < 0) Joystick.States.set(isLeft);
  if (Joystick.X > 0) Joystick.States.set(isRight);
  if (Joystick.Y < 0) Joystick.States.set(isUp);
  if (Joystick.Y > 0) Joystick.States.set(isDown);
  for (int n = 0; n < 32; ++n) {
    if (reading.buttons & (1u << n)) Joystick.States.set(static_cast<size_t>(isButton1 + n));
  }
}

void TGameInput::UpdateKeyboard() {
  Keyboard.Keys.fill(0);
  Keyboard.States.reset();
  if (!Keyboard.Enabled || !DevicesMayRead()) return;
  if (!keyboardDevice_.ReadState(Keyboard.Keys)) {
    Keyboard.Keys.fill(0);
    return;
  }
  for (size_t state = 0; state < Keyboard.Assigns.size(); ++state) {
    for (const int32_t key : Keyboard.Assigns[state]) {
      if (key >= 1 && key <= 255 && (Keyboard.Keys[static_cast<size_t>(key)] & 0x80) != 0) {
        Keyboard.States.set(state);
        break;
      }
    }
  }
}

void TGameInput::Update() {
  TInputStates combined;
  UpdateJoystick();
  if (Joystick.BindInputStates) combined |= Joystick.States;
  UpdateKeyboard();
  if (Keyboard.BindInputStates) combined |= Keyboard.States;
  Mouse.States.reset();
  if (Mouse.BindInputStates) combined |= Mouse.States;

  // Only edges change ActiveStates: pressed now and not before, or released now.
  activeStates_ |= combined & ~previousCombined_;
  activeStates_ &= ~(~combined & previousCombined_);
  previousCombined_ = combined;
}
