// A gamepad's D-pad and left stick as the four direction controls of the menus (PadButton Up,
// Down, Left, Right): each push gives one PadDown and, when let go, one PadUp, so one push moves
// the menu focus once, as one press of an arrow key does.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "engine/platform/platform.h"

namespace platform {

class PadDirections {
 public:
  // The stick's axes run -32768..32767. It counts as pushed past half its travel and as let go
  // below a quarter: a stick resting off-centre or held near the edge does not chatter.
  static constexpr int PushThreshold = 16384;
  static constexpr int LetGoThreshold = 8192;

  // Each call appends the PadDown and PadUp events of the directions that changed to `out`.
  void SetDpad(PadButton direction, bool held, std::vector<Event>& out);
  void SetStickX(int value, std::vector<Event>& out);
  void SetStickY(int value, std::vector<Event>& out);
  // Lets go of every direction held (the pad was unplugged).
  void LetGoAll(std::vector<Event>& out);

  // The directions held now, a bit per direction (bit n: PadButton n).
  uint8_t Held() const { return held_; }

 private:
  void UpdateStick();
  // Along the held stick direction: how far the stick is pushed that way.
  int StickTowards(PadButton direction) const;
  void Emit(std::vector<Event>& out);

  uint8_t dpad_ = 0;
  int stickX_ = 0;
  int stickY_ = 0;
  // The stick gives one direction at a time, along its stronger axis: a push that is not quite
  // straight still moves one way only.
  std::optional<PadButton> stick_;
  uint8_t held_ = 0;
};

// The bit of a pad control in a set of held controls.
constexpr uint8_t PadBit(PadButton button) {
  return static_cast<uint8_t>(1u << static_cast<unsigned>(button));
}

// The PadDown or PadUp event of a control.
Event PadEvent(PadButton button, bool down);

}  // namespace platform
