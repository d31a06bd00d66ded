// The sound device: SDL2_mixer opened at 44100 Hz, 16-bit stereo. Without a working device the
// game runs silently; it never fails for want of sound.
#pragma once

namespace platform::sdl {

class SdlAudio {
 public:
  SdlAudio();
  ~SdlAudio();
  SdlAudio(const SdlAudio&) = delete;
  SdlAudio& operator=(const SdlAudio&) = delete;

  // True when sounds and music can be heard.
  bool Open() const { return open_; }

 private:
  bool subsystem_ = false;
  bool open_ = false;
};

}  // namespace platform::sdl
