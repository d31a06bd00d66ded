// The real machine: SDL2 for the window, events, keyboard, joystick, pointer, message boxes and
// the desktop's opener; SDL2_mixer with libxmp for music; SDL2_ttf for text.
#pragma once

#include <filesystem>
#include <memory>

#include "engine/platform/platform.h"

namespace platform::sdl {

// Opens the 800 x 600 window titled "Skarvel", centred, and the audio device (silence when there
// is none). Throws EPlatformError naming the reason when there is no display.
std::unique_ptr<Platform> CreateSdlPlatform(const std::filesystem::path& fontDir);

}  // namespace platform::sdl
