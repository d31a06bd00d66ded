// The sound device: SDL2_mixer opened at 44100 Hz, 16-bit stereo, when first asked for, so that
// neither the mixer library nor the device hold up the first frame. Without a working device the
// game runs silently; it never fails for want of sound.
#pragma once

namespace platform::sdl {

class SdlAudio {
 public:
  SdlAudio() = default;
  ~SdlAudio();
  SdlAudio(const SdlAudio&) = delete;
  SdlAudio& operator=(const SdlAudio&) = delete;

  // Opens the device on the first call; true when sounds and music can be heard.
  bool Open();

 private:
  bool tried_ = false;
  bool subsystem_ = false;
  bool open_ = false;
};

}  // namespace platform::sdl
