#include "engine/platform/sdl/sdl_events.h"

#include <algorithm>
#include <climits>
#include <vector>

#include "engine/platform/sdl/sdl_end_signals.h"
#include "engine/platform/sdl/sdl_keys.h"
#include "engine/platform/sdl/utf8.h"

namespace platform::sdl {
namespace {

// The game's characters are Latin-1; anything beyond is not passed on.
constexpr uint32_t LastCharacter = 0xFF;

bool ButtonOf(Uint8 sdlButton, PointerButton& button) {
  switch (sdlButton) {
    case SDL_BUTTON_LEFT:
      button = PointerButton::Left;
      return true;
    case SDL_BUTTON_RIGHT:
      button = PointerButton::Right;
      return true;
    case SDL_BUTTON_MIDDLE:
      button = PointerButton::Middle;
      return true;
    default:
      return false;
  }
}

ShiftState HeldFlag(PointerButton button) {
  switch (button) {
    case PointerButton::Left:
      return ssLeft;
    case PointerButton::Right:
      return ssRight;
    default:
      return 0;
  }
}

}  // namespace

SdlEventQueue::SdlEventQueue(SdlWindow& window, SdlPadLayer& padLayer, SdlJoystick& joystick,
                             SdlGamepads& gamepads)
    : window_(window), padLayer_(padLayer), joystick_(joystick), gamepads_(gamepads) {
  SDL_StartTextInput();
}

bool SdlEventQueue::Poll(Event& event) {
  if (SdlEndSignals::TakeRequest()) {
    event = Event{};
    event.kind = EventKind::EndRequest;
    return true;
  }
  padLayer_.Start();
  SDL_Event sdlEvent;
  while (pending_.empty() && SDL_PollEvent(&sdlEvent) != 0) Translate(sdlEvent);
  if (pending_.empty()) return false;
  event = pending_.front();
  pending_.pop_front();
  return true;
}

void SdlEventQueue::Wait(uint32_t timeoutMs) {
  if (!pending_.empty()) return;
  SDL_WaitEventTimeout(nullptr, static_cast<int>(std::min<uint32_t>(timeoutMs, INT_MAX)));
}

void SdlEventQueue::Translate(const SDL_Event& sdlEvent) {
  Event event;
  switch (sdlEvent.type) {
    case SDL_KEYDOWN:
    case SDL_KEYUP: {
      const SDL_Keysym& keysym = sdlEvent.key.keysym;
      event.key = VirtualKeyFromSdl(keysym.sym, keysym.scancode);
      if (event.key == 0) return;
      event.kind = sdlEvent.type == SDL_KEYDOWN ? EventKind::KeyDown : EventKind::KeyUp;
      event.repeat = sdlEvent.type == SDL_KEYDOWN && sdlEvent.key.repeat != 0;
      event.shift = ShiftStateFromModifiers(keysym.mod) | buttonsHeld_;
      Push(event);
      return;
    }
    case SDL_TEXTINPUT:
      event.kind = EventKind::Character;
      for (const uint32_t codePoint : DecodeUtf8(sdlEvent.text.text)) {
        if (codePoint > LastCharacter) continue;
        event.character = codePoint;
        Push(event);
      }
      return;
    case SDL_MOUSEMOTION:
      TranslatePointer(EventKind::PointerMove, PointerButton::Left, sdlEvent.motion.x,
                       sdlEvent.motion.y);
      return;
    case SDL_MOUSEBUTTONDOWN:
    case SDL_MOUSEBUTTONUP: {
      PointerButton button = PointerButton::Left;
      if (!ButtonOf(sdlEvent.button.button, button)) return;
      const bool down = sdlEvent.type == SDL_MOUSEBUTTONDOWN;
      // As on the desktop the game was made for: a press reports its own button as held.
      if (down) {
        buttonsHeld_ |= HeldFlag(button);
      } else {
        buttonsHeld_ &= static_cast<ShiftState>(~HeldFlag(button));
      }
      TranslatePointer(down ? EventKind::PointerDown : EventKind::PointerUp, button,
                       sdlEvent.button.x, sdlEvent.button.y);
      return;
    }
    case SDL_WINDOWEVENT:
      if (sdlEvent.window.windowID == window_.Id()) TranslateWindowEvent(sdlEvent.window);
      return;
    case SDL_QUIT:  // the session is ending, or the desktop asked the program to quit
      event.kind = EventKind::CloseRequest;
      Push(event);
      return;
    case SDL_JOYDEVICEADDED:
      joystick_.DeviceAdded(sdlEvent.jdevice.which);
      return;
    case SDL_JOYDEVICEREMOVED:
      joystick_.DeviceRemoved(sdlEvent.jdevice.which);
      return;
    case SDL_CONTROLLERDEVICEADDED:
    case SDL_CONTROLLERDEVICEREMOVED:
    case SDL_CONTROLLERBUTTONDOWN:
    case SDL_CONTROLLERBUTTONUP:
    case SDL_CONTROLLERAXISMOTION:
      TranslateGamepad(sdlEvent);
      return;
    case SDL_RENDER_TARGETS_RESET:
    case SDL_RENDER_DEVICE_RESET:
      window_.RenderingReset();
      return;
    default:
      return;
  }
}

void SdlEventQueue::TranslatePointer(EventKind kind, PointerButton button, int x, int y) {
  // The renderer has already mapped SDL's coordinates to surface pixels (its logical size).
  Event event;
  event.kind = kind;
  event.button = button;
  event.x = x;
  event.y = y;
  event.shift = ShiftStateFromModifiers(static_cast<Uint16>(SDL_GetModState())) | buttonsHeld_;
  Push(event);
}

void SdlEventQueue::TranslateGamepad(const SDL_Event& sdlEvent) {
  std::vector<Event> events;
  switch (sdlEvent.type) {
    case SDL_CONTROLLERDEVICEADDED:
      joystick_.ControllerAdded(sdlEvent.cdevice.which);
      gamepads_.Added(sdlEvent.cdevice.which);
      break;
    case SDL_CONTROLLERDEVICEREMOVED:
      gamepads_.Removed(sdlEvent.cdevice.which, events);
      break;
    case SDL_CONTROLLERBUTTONDOWN:
    case SDL_CONTROLLERBUTTONUP:
      gamepads_.Button(sdlEvent.cbutton, events);
      break;
    default:
      gamepads_.Axis(sdlEvent.caxis, events);
      break;
  }
  for (const Event& event : events) Push(event);
}

void SdlEventQueue::LetGoOfPads() {
  std::vector<Event> events;
  gamepads_.LetGoAll(events);
  for (const Event& event : events) Push(event);
}

void SdlEventQueue::TranslateWindowEvent(const SDL_WindowEvent& windowEvent) {
  Event event;
  switch (windowEvent.event) {
    case SDL_WINDOWEVENT_FOCUS_GAINED:
      if (active_) return;
      active_ = true;
      event.kind = EventKind::Activate;
      break;
    case SDL_WINDOWEVENT_FOCUS_LOST:
    case SDL_WINDOWEVENT_MINIMIZED:  // a minimised window is inactive even if it kept the focus
      if (!active_) return;
      active_ = false;
      LetGoOfPads();
      event.kind = EventKind::Deactivate;
      break;
    case SDL_WINDOWEVENT_RESTORED:  // back from the task bar with the focus it never lost
      window_.Repaint();
      if (active_ || !window_.IsForeground()) return;
      active_ = true;
      event.kind = EventKind::Activate;
      break;
    case SDL_WINDOWEVENT_CLOSE:
      event.kind = EventKind::CloseRequest;
      break;
    case SDL_WINDOWEVENT_MAXIMIZED:
      // The maximise box, or on X11 a double-click on the caption: the desktop reports both
      // alike, and the game takes either as the system command Maximise.
      if (!window_.UndoMaximise()) return;
      event.kind = EventKind::SysCommandMaximise;
      break;
    case SDL_WINDOWEVENT_SIZE_CHANGED:
      window_.KeepFixedSize();
      window_.Repaint();
      return;
    case SDL_WINDOWEVENT_EXPOSED:
    case SDL_WINDOWEVENT_SHOWN:
      window_.Repaint();
      return;
    default:
      return;
  }
  Push(event);
}

}  // namespace platform::sdl
