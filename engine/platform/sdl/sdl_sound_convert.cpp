#include "engine/platform/sdl/sdl_sound_convert.h"

#include <SDL.h>

#include <memory>

namespace platform::sdl {

namespace {

struct StreamDeleter {
  void operator()(SDL_AudioStream* stream) const { SDL_FreeAudioStream(stream); }
};

}  // namespace

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

  const SDL_AudioFormat from = format.bitsPerSample == 8 ? AUDIO_U8 : AUDIO_S16LSB;
  std::unique_ptr<SDL_AudioStream, StreamDeleter> stream(
      SDL_NewAudioStream(from, static_cast<Uint8>(format.channels), rate, to.sdlFormat,
                         static_cast<Uint8>(to.channels), to.rate));
  if (!stream) return {};
  const int inBytes = static_cast<int>(frames * frameBytes);
  if (SDL_AudioStreamPut(stream.get(), samples.data(), inBytes) != 0) return {};
  if (SDL_AudioStreamFlush(stream.get()) != 0) return {};
  const int available = SDL_AudioStreamAvailable(stream.get());
  if (available <= 0 || static_cast<uint64_t>(available) > MaxConvertedBytes) return {};
  std::vector<uint8_t> result(static_cast<size_t>(available));
  const int got = SDL_AudioStreamGet(stream.get(), result.data(), available);
  const size_t whole = static_cast<size_t>(got < 0 ? 0 : got) / outFrameBytes * outFrameBytes;
  if (whole == 0) return {};
  result.resize(whole);
  return result;
}

}  // namespace platform::sdl
