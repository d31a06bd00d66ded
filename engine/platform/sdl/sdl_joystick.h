// Joystick 0 through SDL's joystick API: the first stick attached, taken up when it is plugged in
// while the game runs and let go when it is unplugged.
#pragma once

#include <SDL_joystick.h>

#include "engine/platform/platform.h"

namespace platform::sdl {

class SdlJoystick : public Joystick {
 public:
  // Opens a stick that is already attached.
  SdlJoystick();
  ~SdlJoystick() override;
  SdlJoystick(const SdlJoystick&) = delete;
  SdlJoystick& operator=(const SdlJoystick&) = delete;

  // Raw axes as positions 0..65535 (SDL's -32768..32767 moved up), buttons 1-32.
  bool Read(JoystickReading& reading) override;

  // SDL_JOYDEVICEADDED: takes the stick up when none is open.
  void DeviceAdded(int deviceIndex);
  // SDL_JOYDEVICEREMOVED: lets the open stick go when it is the one unplugged, and takes up
  // another that is still attached.
  void DeviceRemoved(SDL_JoystickID instance);

 private:
  void OpenFirstAttached();

  SDL_Joystick* stick_ = nullptr;
};

}  // namespace platform::sdl
