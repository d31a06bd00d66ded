#include "engine/platform/sdl/sdl_sound_convert.h"

#include <SDL.h>

#include <algorithm>

namespace platform::sdl {

std::vector<uint8_t> ConvertToMixerFormat(const PcmFormat& format, std::span<const uint8_t> samples,
                                          int32_t frequency, const MixerFormat& to) {
  if (!IsPlayable(format, frequency) || to.rate <= 0 || to.channels <= 0) return {};
  const size_t frameBytes = static_cast<size_t>(format.FrameBytes());
  const size_t frames = samples.size() / frameBytes;
  if (frames == 0 || samples.size() > MaxConvertedBytes) return {};
  const int rate = frequency != 0 ? frequency : format.samplesPerSec;

  // The size the conversion will come to, with room for the resampler's rounding; checked before
  // SDL allocates anything for it.
  const uint64_t outFrames =
      static_cast<uint64_t>(frames) * static_cast<uint64_t>(to.rate) / static_cast<uint64_t>(rate) +
      64;
  const uint64_t outFrameBytes =
      static_cast<uint64_t>(to.channels) * (SDL_AUDIO_BITSIZE(to.sdlFormat) / 8);
  if (outFrameBytes == 0 || outFrames * outFrameBytes > MaxConvertedBytes) return {};

  // SDL_AudioCVT rather than SDL_AudioStream: this SDL's stream drops the resampler's last
  // stretch on flush, cutting the end of every resampled sound.
  const SDL_AudioFormat from = format.bitsPerSample == 8 ? AUDIO_U8 : AUDIO_S16LSB;
  SDL_AudioCVT cvt;
  if (SDL_BuildAudioCVT(&cvt, from, static_cast<Uint8>(format.channels), rate, to.sdlFormat,
                        static_cast<Uint8>(to.channels), to.rate) < 0) {
    return {};
  }
  const uint64_t inBytes = frames * frameBytes;
  // The conversion works in place in a buffer of len_mult times the input.
  const uint64_t workBytes = inBytes * static_cast<uint64_t>(std::max(cvt.len_mult, 1));
  if (workBytes > 4 * MaxConvertedBytes) return {};
  std::vector<uint8_t> result(static_cast<size_t>(workBytes));
  std::copy_n(samples.begin(), inBytes, result.begin());
  cvt.buf = result.data();
  cvt.len = static_cast<int>(inBytes);
  if (cvt.needed != 0 && SDL_ConvertAudio(&cvt) != 0) return {};
  const int got = cvt.needed != 0 ? cvt.len_cvt : cvt.len;
  const size_t whole = static_cast<size_t>(got < 0 ? 0 : got) / outFrameBytes * outFrameBytes;
  if (whole == 0 || whole > MaxConvertedBytes) return {};
  result.resize(whole);
  result.shrink_to_fit();
  return result;
}

}  // namespace platform::sdl
