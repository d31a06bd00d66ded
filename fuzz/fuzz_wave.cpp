// Fuzzes the RIFF WAVE reader and what a read recording goes on to: its format, its length, its
// conversion to the mixer's format, and writing it back.
#include <cstddef>
#include <cstdint>
#include <span>

#include "engine/base/exception.h"
#include "engine/platform/sdl/sdl_sound_convert.h"
#include "engine/sound/wave.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  TWave wave;
  try {
    wave.LoadFromBytes(std::span<const uint8_t>(data, size));
  } catch (const EWaveStreamError&) {
    return 0;
  }
  (void)wave.DurationMs();
  if (const auto format = wave.PlayableFormat()) {
    // A mixer of the usual kind; 16-bit little-endian stereo (AUDIO_S16LSB).
    const platform::sdl::MixerFormat mixer{44100, 0x8010, 2};
    (void)platform::sdl::ConvertToMixerFormat(*format, wave.Data(), 0, mixer);
  }
  TWave again;
  again.LoadFromBytes(wave.SaveToBytes());
  if (!(again == wave)) __builtin_trap();
  return 0;
}
