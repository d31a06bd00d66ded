// The real machine: SDL2 for the window, events, keyboard, joystick, pointer, message boxes and
// the desktop's opener; SDL2_mixer with libxmp for music; SDL2_ttf for text.
#pragma once

#include <filesystem>
#include <memory>
#include <string_view>

#include "engine/platform/platform.h"

namespace platform::sdl {

// What the SDL backend tells beyond the platform's services.
class SdlPlatform : public Platform {
 public:
  // The renderer that presents frames: "opengl", "opengles2" or "software" (for benchmarks).
  virtual std::string_view PresentPath() const = 0;
  // Opens the sound device if it is not open yet; true when it is open, false when the game runs
  // silently.
  virtual bool AudioOpen() = 0;
  // Shows the picture of a 32-bit bitmap file as the window's icon (on the title bar, the task
  // bar and the window switcher). False, and the desktop's default icon, when it cannot be read.
  virtual bool SetWindowIcon(const std::filesystem::path& bitmap) = 0;
};

// Opens the 800 x 600 window titled "Skarvel", centred; the audio device (silence when there is
// none) opens when first used. Throws EPlatformError naming the reason when there is no display.
std::unique_ptr<SdlPlatform> CreateSdlPlatform(const std::filesystem::path& fontDir);

}  // namespace platform::sdl
