#include "engine/platform/sdl/sdl_shell.h"

#include <SDL_misc.h>

namespace platform::sdl {

void SdlShell::Open(const std::string& target) {
  SDL_OpenURL(target.c_str());
}

}  // namespace platform::sdl
