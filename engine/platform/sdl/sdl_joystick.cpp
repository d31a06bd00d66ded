#include "engine/platform/sdl/sdl_joystick.h"

namespace platform::sdl {
namespace {

// SDL's axis values run -32768..32767; the game reads positions with their travel.
constexpr int AxisOffset = 32768;
constexpr int AxisMax = 65535;
constexpr int ButtonCount = 32;

JoystickReading::Axis ReadAxis(SDL_Joystick* stick, int axis) {
  JoystickReading::Axis result;
  result.min = 0;
  result.max = AxisMax;
  // A missing axis (a stick without Z) rests in the middle.
  result.position = axis < SDL_JoystickNumAxes(stick)
                        ? SDL_JoystickGetAxis(stick, axis) + AxisOffset
                        : AxisOffset;
  return result;
}

}  // namespace

SdlJoystick::SdlJoystick() {
  OpenFirstAttached();
}

SdlJoystick::~SdlJoystick() {
  if (stick_ != nullptr) SDL_JoystickClose(stick_);
}

void SdlJoystick::OpenFirstAttached() {
  const int count = SDL_NumJoysticks();
  for (int index = 0; index < count && stick_ == nullptr; ++index) {
    stick_ = SDL_JoystickOpen(index);
  }
}

bool SdlJoystick::Read(JoystickReading& reading) {
  if (stick_ == nullptr || !SDL_JoystickGetAttached(stick_)) return false;
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

void SdlJoystick::DeviceAdded(int deviceIndex) {
  if (stick_ == nullptr) stick_ = SDL_JoystickOpen(deviceIndex);
}

void SdlJoystick::DeviceRemoved(SDL_JoystickID instance) {
  if (stick_ == nullptr || SDL_JoystickInstanceID(stick_) != instance) return;
  SDL_JoystickClose(stick_);
  stick_ = nullptr;
  OpenFirstAttached();
}

}  // namespace platform::sdl
