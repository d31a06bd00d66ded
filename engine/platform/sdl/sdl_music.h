// Music: XM modules played by libxmp into SDL2_mixer's music hook. Loading a song frees the one
// loaded before (stopping it); handles are never reused, so a stale handle stays harmless.
#pragma once

#include <memory>

#include "engine/platform/platform.h"

namespace platform::sdl {

// Needs SDL2_mixer opened (Mix_OpenAudio) to be heard; without a device songs still load and
// playing them is silent.
std::unique_ptr<MusicPlayer> CreateXmpMusicPlayer(bool audioOpen);

}  // namespace platform::sdl
