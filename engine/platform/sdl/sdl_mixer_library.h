// SDL2_mixer, loaded when the sound device is first opened instead of with the program: the
// library brings a dozen more (its synthesizer and what that needs), whose loading would otherwise
// come before the first frame. Only what the sound effects and the music use is looked up.
#pragma once

#include <SDL_mixer.h>

#include <optional>
#include <string>

namespace platform::sdl {

// The shared object the game's package depends on.
inline constexpr const char* MixerLibraryFile = "libSDL2_mixer-2.0.so.0";

struct MixerLibrary {
  decltype(&Mix_OpenAudio) OpenAudio = nullptr;
  decltype(&Mix_CloseAudio) CloseAudio = nullptr;
  decltype(&Mix_QuerySpec) QuerySpec = nullptr;
  decltype(&Mix_AllocateChannels) AllocateChannels = nullptr;
  decltype(&Mix_ReserveChannels) ReserveChannels = nullptr;
  decltype(&Mix_HaltChannel) HaltChannel = nullptr;
  decltype(&Mix_Volume) Volume = nullptr;
  decltype(&Mix_SetPanning) SetPanning = nullptr;
  decltype(&Mix_PlayChannel) PlayChannel = nullptr;
  decltype(&Mix_Playing) Playing = nullptr;
  decltype(&Mix_HookMusic) HookMusic = nullptr;
  decltype(&Mix_GetMusicHookData) GetMusicHookData = nullptr;
};

// Loads `file` and looks up every function; nothing, and the reason in `error`, when the library
// or one of its functions is missing. The library stays loaded for the process's lifetime.
std::optional<MixerLibrary> LoadMixerLibrary(const char* file, std::string& error);

// MixerLibraryFile, loaded on the first call (the reason it failed is said once on stderr);
// nullptr without it, and then the game is silent.
const MixerLibrary* Mixer();

}  // namespace platform::sdl
