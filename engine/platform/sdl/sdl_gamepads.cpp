#include "engine/platform/sdl/sdl_gamepads.h"

#include <optional>

namespace platform::sdl {
namespace {

std::optional<PadButton> ControlOf(Uint8 sdlButton) {
  switch (sdlButton) {
    case SDL_CONTROLLER_BUTTON_A:
      return PadButton::A;
    case SDL_CONTROLLER_BUTTON_B:
      return PadButton::B;
    case SDL_CONTROLLER_BUTTON_BACK:
      return PadButton::Back;
    case SDL_CONTROLLER_BUTTON_START:
      return PadButton::Start;
    case SDL_CONTROLLER_BUTTON_DPAD_UP:
      return PadButton::Up;
    case SDL_CONTROLLER_BUTTON_DPAD_DOWN:
      return PadButton::Down;
    case SDL_CONTROLLER_BUTTON_DPAD_LEFT:
      return PadButton::Left;
    case SDL_CONTROLLER_BUTTON_DPAD_RIGHT:
      return PadButton::Right;
    default:
      return std::nullopt;
  }
}

bool IsDirection(PadButton button) {
  return button == PadButton::Up || button == PadButton::Down || button == PadButton::Left ||
         button == PadButton::Right;
}

}  // namespace

SdlGamepads::SdlGamepads() {
  for (int index = 0; index < SDL_NumJoysticks(); ++index) Added(index);
}

SdlGamepads::~SdlGamepads() {
  for (auto& [instance, pad] : pads_) SDL_GameControllerClose(pad.controller);
}

void SdlGamepads::Added(int deviceIndex) {
  if (!SDL_IsGameController(deviceIndex)) return;
  const SDL_JoystickID instance = SDL_JoystickGetDeviceInstanceID(deviceIndex);
  if (instance < 0 || pads_.contains(instance)) return;  // already taken up at start
  SDL_GameController* controller = SDL_GameControllerOpen(deviceIndex);
  if (controller == nullptr) return;  // gone again, or not ours to open: the pad is not used
  pads_[instance].controller = controller;
}

void SdlGamepads::Removed(SDL_JoystickID instance, std::vector<Event>& out) {
  const auto found = pads_.find(instance);
  if (found == pads_.end()) return;
  LetGo(found->second, out);
  SDL_GameControllerClose(found->second.controller);
  pads_.erase(found);
}

void SdlGamepads::LetGoAll(std::vector<Event>& out) {
  for (auto& [instance, pad] : pads_) LetGo(pad, out);
}

void SdlGamepads::LetGo(Pad& pad, std::vector<Event>& out) {
  pad.directions.LetGoAll(out);
  for (const PadButton button : {PadButton::A, PadButton::B, PadButton::Back, PadButton::Start}) {
    if ((pad.buttons & PadBit(button)) != 0) out.push_back(PadEvent(button, false));
  }
  pad.buttons = 0;
}

void SdlGamepads::Button(const SDL_ControllerButtonEvent& event, std::vector<Event>& out) {
  const auto found = pads_.find(event.which);
  const std::optional<PadButton> control = ControlOf(event.button);
  if (found == pads_.end() || !control) return;
  Pad& pad = found->second;
  const bool down = event.state == SDL_PRESSED;
  if (IsDirection(*control)) {
    pad.directions.SetDpad(*control, down, out);
    return;
  }
  // SDL reports a state again when a mapping changes; only changes are the game's events.
  if (((pad.buttons & PadBit(*control)) != 0) == down) return;
  if (down) {
    pad.buttons |= PadBit(*control);
  } else {
    pad.buttons &= static_cast<uint8_t>(~PadBit(*control));
  }
  out.push_back(PadEvent(*control, down));
}

void SdlGamepads::Axis(const SDL_ControllerAxisEvent& event, std::vector<Event>& out) {
  const auto found = pads_.find(event.which);
  if (found == pads_.end()) return;
  if (event.axis == SDL_CONTROLLER_AXIS_LEFTX) found->second.directions.SetStickX(event.value, out);
  if (event.axis == SDL_CONTROLLER_AXIS_LEFTY) found->second.directions.SetStickY(event.value, out);
}

}  // namespace platform::sdl
