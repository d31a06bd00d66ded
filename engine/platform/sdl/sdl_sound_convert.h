// Converting a recording's PCM samples once into the mixer's own format and rate, so that every
// copy of a sound shares the converted samples and the mixer never converts while playing.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "engine/platform/audio_output.h"

namespace platform::sdl {

// The mixer's output format; `sdlFormat` is an SDL_AudioFormat value.
struct MixerFormat {
  int rate = 44100;
  uint16_t sdlFormat = 0;
  int channels = 2;
};

// The most a single converted sound may take (about six minutes of CD-quality stereo): a
// recording claiming a tiny rate must not make a huge buffer.
constexpr size_t MaxConvertedBytes = size_t{64} << 20;

// The whole frames of `samples` converted to `to`, played at `frequency` (0: the format's rate).
// Empty when the format is not playable, there is no whole frame, SDL cannot convert it or the
// result would exceed MaxConvertedBytes.
std::vector<uint8_t> ConvertToMixerFormat(const PcmFormat& format, std::span<const uint8_t> samples,
                                          int32_t frequency, const MixerFormat& to);

}  // namespace platform::sdl
