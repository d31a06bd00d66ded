#include "engine/platform/sdl/sdl_audio.h"

#include <SDL.h>

#include "engine/platform/sdl/sdl_mixer_library.h"

namespace platform::sdl {
namespace {
constexpr int Frequency = 44100;
constexpr int Channels = 2;
// About 23 ms at 44100 Hz: short enough for a shot's sound to follow the key at once.
constexpr int ChunkSamples = 1024;
}  // namespace

bool SdlAudio::Open() {
  if (tried_) return open_;
  tried_ = true;
  const MixerLibrary* mixer = Mixer();
  if (mixer == nullptr) return false;
  subsystem_ = SDL_InitSubSystem(SDL_INIT_AUDIO) == 0;
  if (!subsystem_) return false;
  open_ = mixer->OpenAudio(Frequency, AUDIO_S16SYS, Channels, ChunkSamples) == 0;
  if (!open_) {
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
    subsystem_ = false;
  }
  return open_;
}

SdlAudio::~SdlAudio() {
  if (open_) Mixer()->CloseAudio();
  if (subsystem_) SDL_QuitSubSystem(SDL_INIT_AUDIO);
}

}  // namespace platform::sdl
