#include "engine/platform/sdl/sdl_joystick.h"

namespace platform::sdl {
namespace {

// SDL's axis values run -32768..32767; the game reads positions with their travel.
constexpr int AxisOffset = 32768;
constexpr int AxisMax = 65535;
constexpr int ButtonCount = 32;

JoystickReading::Axis AxisAt(int sdlValue) {
  JoystickReading::Axis result;
  result.min = 0;
  result.max = AxisMax;
  result.position = sdlValue + AxisOffset;
  return result;
}

JoystickReading::Axis ReadAxis(SDL_Joystick* stick, int axis) {
  // A missing axis (a stick without Z) rests in the middle.
  return AxisAt(axis < SDL_JoystickNumAxes(stick) ? SDL_JoystickGetAxis(stick, axis) : 0);
}

// A pad's stick axis, unless the D-pad is pressed one way along it: then all the way that way.
JoystickReading::Axis PadAxis(SDL_GameController* pad, SDL_GameControllerAxis axis,
                              SDL_GameControllerButton towardsMin,
                              SDL_GameControllerButton towardsMax) {
  const bool min = SDL_GameControllerGetButton(pad, towardsMin) != 0;
  const bool max = SDL_GameControllerGetButton(pad, towardsMax) != 0;
  if (min != max) return AxisAt(min ? -AxisOffset : AxisMax - AxisOffset);
  return AxisAt(SDL_GameControllerGetAxis(pad, axis));
}

}  // namespace

SdlJoystick::SdlJoystick() {
  OpenFirstAttached();
}

SdlJoystick::~SdlJoystick() {
  Close();
}

void SdlJoystick::Open(int deviceIndex) {
  stick_ = SDL_JoystickOpen(deviceIndex);
  if (stick_ != nullptr && SDL_IsGameController(deviceIndex)) {
    pad_ = SDL_GameControllerOpen(deviceIndex);
  }
}

void SdlJoystick::Close() {
  if (pad_ != nullptr) SDL_GameControllerClose(pad_);
  if (stick_ != nullptr) SDL_JoystickClose(stick_);
  pad_ = nullptr;
  stick_ = nullptr;
}

void SdlJoystick::OpenFirstAttached() {
  const int count = SDL_NumJoysticks();
  for (int index = 0; index < count && stick_ == nullptr; ++index) Open(index);
}

bool SdlJoystick::Read(JoystickReading& reading) {
  if (stick_ == nullptr || !SDL_JoystickGetAttached(stick_)) return false;
  if (pad_ != nullptr) {
    ReadGamepad(reading);
    return true;
  }
  reading.x = ReadAxis(stick_, 0);
  reading.y = ReadAxis(stick_, 1);
  reading.z = ReadAxis(stick_, 2);
  reading.buttons = 0;
  const int buttons = SDL_JoystickNumButtons(stick_);
  for (int button = 0; button < buttons && button < ButtonCount; ++button) {
    if (SDL_JoystickGetButton(stick_, button) != 0) reading.buttons |= 1u << button;
  }
  return true;
}

void SdlJoystick::ReadGamepad(JoystickReading& reading) {
  reading.x = PadAxis(pad_, SDL_CONTROLLER_AXIS_LEFTX, SDL_CONTROLLER_BUTTON_DPAD_LEFT,
                      SDL_CONTROLLER_BUTTON_DPAD_RIGHT);
  reading.y = PadAxis(pad_, SDL_CONTROLLER_AXIS_LEFTY, SDL_CONTROLLER_BUTTON_DPAD_UP,
                      SDL_CONTROLLER_BUTTON_DPAD_DOWN);
  reading.z = AxisAt(0);
  reading.buttons = 0;
  for (int button = 0; button < SDL_CONTROLLER_BUTTON_MAX && button < ButtonCount; ++button) {
    if (SDL_GameControllerGetButton(pad_, static_cast<SDL_GameControllerButton>(button)) != 0) {
      reading.buttons |= 1u << button;
    }
  }
}

void SdlJoystick::DeviceAdded(int deviceIndex) {
  if (stick_ == nullptr) Open(deviceIndex);
}

void SdlJoystick::ControllerAdded(int deviceIndex) {
  if (stick_ == nullptr) {
    Open(deviceIndex);
    return;
  }
  if (pad_ == nullptr &&
      SDL_JoystickGetDeviceInstanceID(deviceIndex) == SDL_JoystickInstanceID(stick_)) {
    pad_ = SDL_GameControllerOpen(deviceIndex);
  }
}

void SdlJoystick::DeviceRemoved(SDL_JoystickID instance) {
  if (stick_ == nullptr || SDL_JoystickInstanceID(stick_) != instance) return;
  Close();
  OpenFirstAttached();
}

}  // namespace platform::sdl
