// Joystick 0 through SDL's joystick API: the first stick attached, taken up when it is plugged in
// while the game runs and let go when it is unplugged. A stick that SDL knows as a gamepad is read
// through its mapping, so that every pad steers with its left stick (or D-pad) and fires with A,
// whatever its own numbering of axes and buttons.
#pragma once

#include <SDL_gamecontroller.h>
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

  // Raw axes as positions 0..65535 (SDL's -32768..32767 moved up), buttons 1-32. A gamepad gives
  // its left stick as X and Y (the D-pad pressed counts as the stick pushed all the way), Z at
  // rest, and its buttons in SDL's order: A, B, X, Y, Back, Guide, Start, ...
  bool Read(JoystickReading& reading) override;

  // SDL_JOYDEVICEADDED: takes the stick up when none is open.
  void DeviceAdded(int deviceIndex);
  // SDL_CONTROLLERDEVICEADDED: the open stick may just have become a gamepad (a new mapping).
  void ControllerAdded(int deviceIndex);
  // SDL_JOYDEVICEREMOVED: lets the open stick go when it is the one unplugged, and takes up
  // another that is still attached.
  void DeviceRemoved(SDL_JoystickID instance);

 private:
  void Open(int deviceIndex);
  void OpenFirstAttached();
  void Close();
  void ReadGamepad(JoystickReading& reading);

  SDL_Joystick* stick_ = nullptr;
  SDL_GameController* pad_ = nullptr;  // the same device through its mapping, when it has one
};

}  // namespace platform::sdl
