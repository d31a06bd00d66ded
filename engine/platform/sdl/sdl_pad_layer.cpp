#include "engine/platform/sdl/sdl_pad_layer.h"

#include <SDL.h>

#include <cstdio>

namespace platform::sdl {
namespace {

// The game controller layer brings SDL's mapping database of gamepads, and reads the player's own
// mappings from SDL_GAMECONTROLLERCONFIG (and SDL_GAMECONTROLLERCONFIG_FILE).
constexpr Uint32 PadSubsystems = SDL_INIT_JOYSTICK | SDL_INIT_GAMECONTROLLER;

}  // namespace

SdlPadLayer::~SdlPadLayer() {
  if (started_) SDL_QuitSubSystem(PadSubsystems);
}

void SdlPadLayer::Start() {
  if (tried_) return;
  tried_ = true;
  started_ = SDL_InitSubSystem(PadSubsystems) == 0;
  if (!started_)
    std::fprintf(stderr, "Gamepads and joysticks cannot be used: %s\n", SDL_GetError());
}

}  // namespace platform::sdl
