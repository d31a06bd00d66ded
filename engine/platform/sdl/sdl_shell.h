// The desktop's "open" action: xdg-open, started without waiting for it.
#pragma once

#include <string>

#include "engine/platform/platform.h"

namespace platform::sdl {

class SdlShell : public Shell {
 public:
  // Hands the target to xdg-open in a detached process (SDL_OpenURL forks twice, so no process
  // is left behind to be reaped). What the opener answers is not waited for.
  void Open(const std::string& target) override;
};

}  // namespace platform::sdl
