// One music module loaded with libxmp in a context of its own, rendered in blocks of interleaved
// signed 16-bit frames in the audio device's layout, looping at its end.
#pragma once

#include <xmp.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace platform::sdl {

class XmpSong {
 public:
  // Null when the path is not a regular file or the file is unreadable or not a module libxmp
  // plays.
  static std::unique_ptr<XmpSong> Load(const std::string& path);
  ~XmpSong();
  XmpSong(const XmpSong&) = delete;
  XmpSong& operator=(const XmpSong&) = delete;

  // Starts (or starts again) from the beginning of the module, for a device of `rate` frames a
  // second and `channels` interleaved channels: mono is rendered mono, two or more get the stereo
  // mix in the first two (front left and right) and silence in the rest; rates above libxmp's
  // highest are served by repeating each rendered frame. False when libxmp refuses the format,
  // and the song then stays silent.
  bool Start(int rate, int channels);
  void Stop();
  bool started() const { return started_; }

  // Fills `frames` frames; silence while not started.
  void Render(int16_t* out, int frames);

  // Songs alive in this process: each holds a libxmp context with a whole module in memory.
  static int LiveCount();

 private:
  explicit XmpSong(xmp_context context);
  // Fills `bytes` with libxmp's output; at the module's end it starts it over for the next block.
  void Play(int16_t* buffer, int bytes);

  xmp_context context_;
  bool started_ = false;
  int rate_ = 0;
  int channels_ = 0;
  int renderChannels_ = 0;
  int repeat_ = 1;  // device frames per rendered frame
  std::vector<int16_t> scratch_;
};

}  // namespace platform::sdl
