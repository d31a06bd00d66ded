#include "engine/platform/sdl/sdl_mixer_library.h"

#include <SDL.h>

#include <cstdio>

namespace platform::sdl {

namespace {

template <typename Function>
bool Find(void* library, const char* name, Function& function, std::string& error) {
  function = reinterpret_cast<Function>(SDL_LoadFunction(library, name));
  if (function == nullptr) error = std::string("no ") + name + " in the sound mixer library";
  return function != nullptr;
}

}  // namespace

std::optional<MixerLibrary> LoadMixerLibrary(const char* file, std::string& error) {
  void* library = SDL_LoadObject(file);
  if (library == nullptr) {
    error = std::string("the sound mixer library cannot be loaded: ") + SDL_GetError();
    return std::nullopt;
  }
  MixerLibrary mixer;
  const bool complete = Find(library, "Mix_OpenAudio", mixer.OpenAudio, error) &&
                        Find(library, "Mix_CloseAudio", mixer.CloseAudio, error) &&
                        Find(library, "Mix_QuerySpec", mixer.QuerySpec, error) &&
                        Find(library, "Mix_AllocateChannels", mixer.AllocateChannels, error) &&
                        Find(library, "Mix_ReserveChannels", mixer.ReserveChannels, error) &&
                        Find(library, "Mix_HaltChannel", mixer.HaltChannel, error) &&
                        Find(library, "Mix_Volume", mixer.Volume, error) &&
                        Find(library, "Mix_SetPanning", mixer.SetPanning, error) &&
                        Find(library, "Mix_PlayChannel", mixer.PlayChannel, error) &&
                        Find(library, "Mix_Playing", mixer.Playing, error) &&
                        Find(library, "Mix_HookMusic", mixer.HookMusic, error) &&
                        Find(library, "Mix_GetMusicHookData", mixer.GetMusicHookData, error);
  if (!complete) {
    SDL_UnloadObject(library);
    return std::nullopt;
  }
  return mixer;
}

const MixerLibrary* Mixer() {
  static const std::optional<MixerLibrary> mixer = [] {
    std::string error;
    std::optional<MixerLibrary> loaded = LoadMixerLibrary(MixerLibraryFile, error);
    if (!loaded) std::fprintf(stderr, "skarvel: no sound: %s\n", error.c_str());
    return loaded;
  }();
  return mixer ? &*mixer : nullptr;
}

}  // namespace platform::sdl
