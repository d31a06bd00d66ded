// The window's message queue on SDL: SDL's events translated into the game's (keys in virtual-key
// numbers, typed Latin-1 characters, pointer in surface pixels, focus, close requests, the
// maximise box, gamepad controls), while the window, the renderer, the joystick and the gamepads
// take the events that are theirs.
#pragma once

#include <SDL_events.h>

#include <deque>

#include "engine/platform/platform.h"
#include "engine/platform/sdl/sdl_gamepads.h"
#include "engine/platform/sdl/sdl_joystick.h"
#include "engine/platform/sdl/sdl_pad_layer.h"
#include "engine/platform/sdl/sdl_window.h"

namespace platform::sdl {

class SdlEventQueue : public EventQueue {
 public:
  SdlEventQueue(SdlWindow& window, SdlPadLayer& padLayer, SdlJoystick& joystick,
                SdlGamepads& gamepads);

  // The first call starts the pad layer.
  bool Poll(Event& event) override;
  // Sleeps in SDL_WaitEventTimeout: woken by the next event, never polling in a loop.
  void Wait(uint32_t timeoutMs) override;

  // Adds the game's events for one SDL event to the queue (none for most).
  void Translate(const SDL_Event& event);

 private:
  void TranslateWindowEvent(const SDL_WindowEvent& event);
  void TranslatePointer(EventKind kind, PointerButton button, int x, int y);
  void TranslateGamepad(const SDL_Event& event);
  // SDL keeps a pad's news from a window without the focus, releases included: the game lets go
  // of whatever the pads held when it loses the focus, as the keyboard's keys are let go.
  void LetGoOfPads();
  void Push(const Event& event) { pending_.push_back(event); }

  SdlWindow& window_;
  SdlPadLayer& padLayer_;
  SdlJoystick& joystick_;
  SdlGamepads& gamepads_;
  std::deque<Event> pending_;
  // Mouse buttons held, as the game's shift state reports them (ssLeft, ssRight).
  ShiftState buttonsHeld_ = 0;
  // Whether the game was last told it is active; it starts active, as the application does.
  bool active_ = true;
};

}  // namespace platform::sdl
