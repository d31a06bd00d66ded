// The window's events reach their handlers here: keys, the pointer over the drawing surface, close
// requests and system commands.
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
  switch (event.kind) {
    case EventKind::KeyDown:
      FormKeyDown(event.key, event.shift);
      break;
    case EventKind::KeyUp:
      FormKeyUp(event.key, event.shift);
      break;
    case EventKind::Character:
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
    case EventKind::SysCommandMaximise:
      WMGetSysCommand({WM_SYSCOMMAND, SC_MAXIMIZE});
      break;
    case EventKind::CaptionDoubleClick:
      CptClk({WM_NCLBUTTONDBLCLK, HTCAPTION});
      break;
    case EventKind::Activate:
    case EventKind::Deactivate:
      break;  // the application's active state has told the frame timers
  }
}

void TmainForm::FormKeyDown(uint16_t /*key*/, platform::ShiftState /*shift*/) {
  // Every key-down latches; a held key's repeats keep it latched until a key-up.
  Input.KeyLatch = true;
}

void TmainForm::FormKeyUp(uint16_t key, platform::ShiftState shift) {
  Input.KeyLatch = false;
  // Alt+Enter acts on release, in every state.
  if ((shift & platform::ssAlt) != 0 && key == vk::Return) {
    Config.WindowedMode = Config.WindowedMode != 0 ? 0 : 1;
    ChangeMode();
    SaveConfig();
  }
}

void TmainForm::DrawSurfaceMouseMove(platform::ShiftState /*shift*/, int /*x*/, int /*y*/) {
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

void TmainForm::DrawSurfaceMouseDown(platform::PointerButton button, platform::ShiftState, int,
                                     int) {
  if (Screen.GameState == gsPlaying && button == platform::PointerButton::Left) {
    Input.PointerFire = true;
  }
}

void TmainForm::DrawSurfaceMouseUp(platform::PointerButton button, platform::ShiftState, int, int) {
  if (button == platform::PointerButton::Left) Input.PointerFire = false;
}
