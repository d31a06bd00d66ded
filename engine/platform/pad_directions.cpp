#include "engine/platform/pad_directions.h"

#include <cstdlib>

namespace platform {

Event PadEvent(PadButton button, bool down) {
  Event event;
  event.kind = down ? EventKind::PadDown : EventKind::PadUp;
  event.pad = button;
  return event;
}

void PadDirections::SetDpad(PadButton direction, bool held, std::vector<Event>& out) {
  if (held) {
    dpad_ |= PadBit(direction);
  } else {
    dpad_ &= static_cast<uint8_t>(~PadBit(direction));
  }
  Emit(out);
}

void PadDirections::SetStickX(int value, std::vector<Event>& out) {
  stickX_ = value;
  UpdateStick();
  Emit(out);
}

void PadDirections::SetStickY(int value, std::vector<Event>& out) {
  stickY_ = value;
  UpdateStick();
  Emit(out);
}

void PadDirections::LetGoAll(std::vector<Event>& out) {
  dpad_ = 0;
  stickX_ = stickY_ = 0;
  stick_.reset();
  Emit(out);
}

int PadDirections::StickTowards(PadButton direction) const {
  switch (direction) {
    case PadButton::Up:
      return -stickY_;
    case PadButton::Down:
      return stickY_;
    case PadButton::Left:
      return -stickX_;
    default:
      return stickX_;
  }
}

void PadDirections::UpdateStick() {
  if (stick_ && StickTowards(*stick_) >= LetGoThreshold) return;
  stick_.reset();
  const int across = std::abs(stickX_);
  const int along = std::abs(stickY_);
  if (across < PushThreshold && along < PushThreshold) return;
  if (across > along) {
    stick_ = stickX_ < 0 ? PadButton::Left : PadButton::Right;
  } else {
    stick_ = stickY_ < 0 ? PadButton::Up : PadButton::Down;
  }
}

void PadDirections::Emit(std::vector<Event>& out) {
  const uint8_t held = static_cast<uint8_t>(dpad_ | (stick_ ? PadBit(*stick_) : 0));
  // Releases first: a stick rolled from one direction to the next lets go of the old one before
  // the new one is pressed, as two keys would be, so the press is not lost to the key latch.
  for (const bool down : {false, true}) {
    for (const PadButton direction :
         {PadButton::Up, PadButton::Down, PadButton::Left, PadButton::Right}) {
      const bool was = (held_ & PadBit(direction)) != 0;
      const bool is = (held & PadBit(direction)) != 0;
      if (was != is && is == down) out.push_back(PadEvent(direction, down));
    }
  }
  held_ = held;
}

}  // namespace platform
