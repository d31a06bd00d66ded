// SDL's joystick and game controller subsystems, started when the game first reads its events:
// after its first frame, which they would hold up by milliseconds. SDL then reports the pads
// already attached as plugged in, and the joystick and the gamepads take them up from there.
#pragma once

namespace platform::sdl {

class SdlPadLayer {
 public:
  SdlPadLayer() = default;
  ~SdlPadLayer();
  SdlPadLayer(const SdlPadLayer&) = delete;
  SdlPadLayer& operator=(const SdlPadLayer&) = delete;

  // Starts the layer the first time; when SDL cannot start it, the game plays without pads.
  void Start();

 private:
  bool tried_ = false;
  bool started_ = false;
};

}  // namespace platform::sdl
