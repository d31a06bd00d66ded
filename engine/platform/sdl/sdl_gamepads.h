// The gamepads of SDL's game controller layer (its mapping database, and the player's own
// mappings from SDL_GAMECONTROLLERCONFIG): every pad attached, taken up when plugged in while the
// game runs and let go when pulled out, its D-pad, left stick, A, B, Back and Start reported as
// the game's pad events.
#pragma once

#include <SDL_events.h>
#include <SDL_gamecontroller.h>

#include <map>
#include <vector>

#include "engine/platform/pad_directions.h"
#include "engine/platform/platform.h"

namespace platform::sdl {

class SdlGamepads {
 public:
  // Opens the pads already attached.
  SdlGamepads();
  ~SdlGamepads();
  SdlGamepads(const SdlGamepads&) = delete;
  SdlGamepads& operator=(const SdlGamepads&) = delete;

  // SDL_CONTROLLERDEVICEADDED: a pad plugged in, or a stick that a new mapping made a pad.
  void Added(int deviceIndex);
  // SDL_CONTROLLERDEVICEREMOVED: what the pad held is let go, so nothing stays pressed.
  void Removed(SDL_JoystickID instance, std::vector<Event>& out);
  void Button(const SDL_ControllerButtonEvent& event, std::vector<Event>& out);
  void Axis(const SDL_ControllerAxisEvent& event, std::vector<Event>& out);
  // Lets go of everything every pad holds; controls still held count again only once they have
  // been let go and pressed anew.
  void LetGoAll(std::vector<Event>& out);

 private:
  struct Pad {
    SDL_GameController* controller = nullptr;
    PadDirections directions;
    uint8_t buttons = 0;  // A, B, Back and Start held (PadBit)
  };

  static void LetGo(Pad& pad, std::vector<Event>& out);

  std::map<SDL_JoystickID, Pad> pads_;
};

}  // namespace platform::sdl
