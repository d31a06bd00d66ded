// A virtual stick or gamepad: what SDL would report for a real one plugged into the machine. A
// virtual stick of SDL's game controller type is a gamepad with SDL's own mapping: buttons A, B,
// X, Y, Back, Guide, Start, the sticks' buttons, the shoulders, then D-pad up, down, left and
// right; axes left X, left Y, right X, right Y and the two triggers.
#pragma once

#include <SDL.h>
#include <gtest/gtest.h>

#include <string>

class VirtualStick {
 public:
  VirtualStick(SDL_JoystickType type, int axes, int buttons) {
    // The device is the machine's, whether or not the game has started SDL's pad layer yet: it
    // holds the joystick subsystem for its own lifetime.
    EXPECT_EQ(SDL_InitSubSystem(SDL_INIT_JOYSTICK), 0) << SDL_GetError();
    index_ = SDL_JoystickAttachVirtual(type, axes, buttons, 0);
    EXPECT_GE(index_, 0) << SDL_GetError();
    instance_ = SDL_JoystickGetDeviceInstanceID(index_);
    // Its own handle, to move the stick; SDL shares the device with the platform's.
    handle_ = SDL_JoystickOpen(index_);
    EXPECT_NE(handle_, nullptr) << SDL_GetError();
  }
  ~VirtualStick() {
    Unplug();
    SDL_QuitSubSystem(SDL_INIT_JOYSTICK);
  }
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
  SDL_JoystickID Instance() const { return instance_; }

 private:
  int index_ = -1;
  SDL_Joystick* handle_ = nullptr;
  SDL_JoystickID instance_ = -1;
};

// A gamepad as SDL knows one from its mapping database.
class VirtualPad : public VirtualStick {
 public:
  // SDL's own numbering of the virtual pad's controls.
  enum PadButton {
    A = 0,
    B = 1,
    X = 2,
    Back = 4,
    Start = 6,
    Up = 11,
    Down = 12,
    Left = 13,
    Right = 14
  };
  enum PadAxis { LeftX = 0, LeftY = 1 };
  VirtualPad() : VirtualStick(SDL_JOYSTICK_TYPE_GAMECONTROLLER, 6, 15) {}
};

// SDL ignores sticks while no window of the program has the keyboard, and a window of the dummy
// driver never has it.
inline void ReadSticksInTheBackground() {
  SDL_SetHint(SDL_HINT_JOYSTICK_ALLOW_BACKGROUND_EVENTS, "1");
}
