// Sending a finished game's result to the high-score server: the frame that asks the player to
// wait, the exchange itself, and where each outcome leads.
#include <exception>

#include "online/result_exchange.h"
#include "shell/main_form.h"

namespace {
// How long "CAN'T CONNECT TO SERVER!" stands before the question is asked again.
constexpr int32_t SendFailedNoticeTime = 1500;
}  // namespace

void TmainForm::SubmitResult() {
  // The exchange blocks the game until it is over: the player sees why before it starts.
  ShowPleaseWait();
  Screen.GameState = gsSending;
  bool sent = false;
  try {
    sent = SendResultToServer(HttpClient1, ResultServer, ResultKey(), PlayerName, Play.Score,
                              Config.PlayerCountry.Text());
  } catch (const std::exception&) {
    // Whatever went wrong on the way, the result did not arrive: the player is told so and may
    // try again, instead of the game staying in its sending state.
  }
  if (sent) {
    // The send question's No takes the player to the Scores screen.
    Screen.GameState = gsSendQuestion;
    Screen.MenuFocus = diCancel;
    ActivateItem();
  } else {
    Play.BannerTimer = SendFailedNoticeTime;
    Screen.GameState = gsSendFailed;
  }
  DropInputMadeWhileWaiting();
}

void TmainForm::DropInputMadeWhileWaiting() {
  // Keys pressed and clicks made at "Please Wait..." were meant for the wait, not for the screen
  // that follows it: two impatient presses of Enter must not clear the score table there.
  using platform::EventKind;
  platform::Event event;
  while (!Application.Terminated() && platform_.events().Poll(event)) {
    switch (event.kind) {
      case EventKind::KeyDown:
      case EventKind::Character:
      case EventKind::PointerMove:
      case EventKind::PointerDown:
      case EventKind::PadDown:  // a pad's release still lets go of the key it held
        break;
      case EventKind::KeyUp:
        Input.KeyLatch = false;
        break;
      case EventKind::PointerUp:
        Input.PointerFire = false;
        Input.LeftPressed = false;
        break;
      default:
        // Closing, the focus and the window's commands are not answers to the wait.
        if (event.kind == EventKind::Activate) Application.SetActive(true);
        if (event.kind == EventKind::Deactivate) Application.SetActive(false);
        Dispatch(event);
        break;
    }
  }
}

void TmainForm::ShowPleaseWait() {
  if (!DrawSurface.ReadyToDraw()) return;
  TDirectDrawSurface& back = *DrawSurface.BackBuffer();
  back.Fill(0);
  SpriteEngine1.DrawAll();
  TCanvas& canvas = TextCanvas(back);
  canvas.Font.Color = clRed;
  canvas.TextOut(330, 220, "Please Wait...");
  canvas.Release();
  DrawSurface.Flip();
}
