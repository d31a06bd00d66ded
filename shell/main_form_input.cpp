// The window's events reach their handlers here (keys, typing, gamepad controls, the pointer over
// the drawing surface, close requests and system commands), and the pointer's own handlers: the
// menu items' hit tests and clicks, and steering and firing while playing.
#include <algorithm>

#include "shell/main_form.h"

namespace {
// Pointer steering gives at most this many pixels a frame in one direction.
constexpr int MaxPointerStep = 255;

uint8_t PointerStep(int distance) {
  return static_cast<uint8_t>(std::min(distance / 2, MaxPointerStep));
}
}  // namespace

void TmainForm::Dispatch(const platform::Event& event) {
  using platform::EventKind;
  if (Screen.GameState == gsSending && SwallowedWhileSending(event)) return;
  // A recording plays by itself: the keys steer the playback, the pointer and typing do nothing.
  if (Playback) {
    if (event.kind == EventKind::KeyDown || event.kind == EventKind::KeyUp) {
      PlaybackKey(event.key, event.kind == EventKind::KeyDown);
      return;
    }
    if (event.kind == EventKind::CloseRequest) {
      EndPlayback();
      return;
    }
    if (event.kind != EventKind::EndRequest && event.kind != EventKind::SysCommandMaximise &&
        event.kind != EventKind::CaptionDoubleClick) {
      return;
    }
  }
  switch (event.kind) {
    case EventKind::KeyDown:
      FormKeyDown(event.key, event.shift);
      break;
    case EventKind::KeyUp:
      FormKeyUp(event.key, event.shift);
      break;
    case EventKind::Character:
      FormKeyPress(event.character);
      break;
    case EventKind::PointerMove:
      DrawSurfaceMouseMove(event.shift, event.x, event.y);
      break;
    case EventKind::PointerDown:
      DrawSurfaceMouseDown(event.button, event.shift, event.x, event.y);
      break;
    case EventKind::PointerUp:
      DrawSurfaceMouseUp(event.button, event.shift, event.x, event.y);
      break;
    case EventKind::CloseRequest:
      Close();
      break;
    case EventKind::EndRequest:
      EndOnRequest();
      break;
    case EventKind::SysCommandMaximise:
      WMGetSysCommand({SystemCommandMessage, MaximizeCommand});
      break;
    case EventKind::CaptionDoubleClick:
      CptClk({CaptionDoubleClickMessage, CaptionHitTest});
      break;
    case EventKind::PadDown:
      GamepadButtonDown(event.pad);
      break;
    case EventKind::PadUp:
      GamepadButtonUp(event.pad);
      break;
    case EventKind::Activate:
    case EventKind::Deactivate:
      break;  // the application's active state has told the frame timers
  }
}

bool TmainForm::MenuPointerState() const {
  const TGameState state = Screen.GameState;
  return state == gsMenu || state == gsExitQuestion || state == gsNameEntry ||
         state == gsSendQuestion;
}

void TmainForm::DrawSurfaceMouseMove(platform::ShiftState /*shift*/, int x, int y) {
  if (MenuPointerState()) {
    PointAt(x, y);
    return;
  }
  if (Screen.GameState != gsPlaying) return;
  // Steering: half the distance from the centre, unless the matching direction key is held; all
  // four tests use the position read first.
  platform::Window& window = platform_.window();
  int px = 0;
  int py = 0;
  window.GetCursorPos(px, py);
  const auto recentre = [&] { window.SetCursorPos(SteeringCentreX, SteeringCentreY); };
  if (px > SteeringCentreX && !GameInput1.Held(isRight)) {
    Input.PointerStepLeft = 0;
    Input.PointerStepRight = PointerStep(px - SteeringCentreX);
    recentre();
  }
  if (px < SteeringCentreX && !GameInput1.Held(isLeft)) {
    Input.PointerStepLeft = PointerStep(SteeringCentreX - px);
    Input.PointerStepRight = 0;
    recentre();
  }
  if (py > SteeringCentreY && !GameInput1.Held(isDown)) {
    Input.PointerStepUp = 0;
    Input.PointerStepDown = PointerStep(py - SteeringCentreY);
    recentre();
  }
  if (py < SteeringCentreY && !GameInput1.Held(isUp)) {
    Input.PointerStepUp = PointerStep(SteeringCentreY - py);
    Input.PointerStepDown = 0;
    recentre();
  }
}

void TmainForm::PointAt(int x, int y) {
  ScreenState& s = Screen;
  Input.PointerOnMainMenu = false;
  Input.PointerOverItem = false;
  // The first item of the active screen that holds the point wins.
  if (const int item = Menu.ItemRects.HitItem(s.MenuScreen, x, y); item != 0) {
    if (s.MenuFocus != item) {
      if (s.GameState == gsNameEntry && s.MenuScreen == msResultDialog &&
          (s.MenuFocus == riName || s.MenuFocus == riCountry)) {
        Input.TextEntryActive = false;
      }
      s.MenuFocus = static_cast<uint8_t>(item);
      UpdateHighlight();
    }
    Input.PointerOverItem = true;
    return;
  }
  // Behind a sub-screen the main menu's items stay live.
  if (!MainMenuLive()) return;
  if (const int item = Menu.ItemRects.HitItem(msMainMenu, x, y); item != 0) {
    Input.PointerOnMainMenu = true;
    if (s.MainFocus != item) {
      s.MainFocus = static_cast<TMainMenuItem>(item);
      UpdateHighlight();
    }
    Input.PointerOverItem = true;
  }
}

void TmainForm::DrawSurfaceClick() {
  if (MenuPointerState() && Input.PointerOverItem) ActivateItem();
}

void TmainForm::DrawSurfaceMouseDown(platform::PointerButton button, platform::ShiftState, int,
                                     int) {
  if (button != platform::PointerButton::Left) return;
  Input.LeftPressed = true;
  if (Screen.GameState == gsPlaying) Input.PointerFire = true;
}

void TmainForm::DrawSurfaceMouseUp(platform::PointerButton button, platform::ShiftState, int x,
                                   int y) {
  if (button != platform::PointerButton::Left) return;
  Input.PointerFire = false;
  if (!Input.LeftPressed) return;
  Input.LeftPressed = false;
  // A click acts on what is under the pointer now: the screen may have changed under a pointer
  // that has not moved since (a key opened a dialog, the last click opened a screen), and an item
  // that was there must not answer for what stands there now.
  if (MenuPointerState()) PointAt(x, y);
  DrawSurfaceClick();
}
