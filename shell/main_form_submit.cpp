// Sending a finished game's result to the high-score server: the frame that asks the player to
// wait, the exchange on its worker thread while the window stays alive, and where each outcome
// leads.
#include "game/level_loop.h"
#include "online/result_exchange.h"
#include "shell/main_form.h"

namespace {
// How long "CAN'T CONNECT TO SERVER!" stands before the question is asked again.
constexpr int32_t SendFailedNoticeTime = 1500;
}  // namespace

void TmainForm::SubmitResult() {
  if (Screen.GameState == gsSending) return;
  // A result whose game was left during the wait (its frames failed) is collected first; its
  // worker has long ended by its deadline, and it gives the client back.
  if (submission_.Running()) submission_.Finish(HttpClient1);
  EnterState(gsSending);
  // The player sees at once why nothing answers any more.
  ShowPleaseWait();
  // The exchange runs aside with its own copies of the client and the result; the game frame
  // goes on drawing the wait and collects the outcome (CollectSubmission).
  submission_.Start(std::move(HttpClient1),
                    {ResultServer, ResultKey(), PlayerName, Play.Score,
                     std::string(Config.PlayerCountry.Text()), Recording.LastGameBytes()},
                    THttpClient::Clock::now() + SubmissionTimeLimit);
}

void TmainForm::CollectSubmission() {
  if (!submission_.Done()) return;
  const bool sent = submission_.Finish(HttpClient1);
  serverTakesRecordings_ = submission_.ServerTakesRecordings();
  GiveMemoryBack();
  // Everything that came in up to now came while the player was waiting.
  DropInputMadeWhileWaiting();
  if (sent) {
    // The send question's No takes the player to the Scores screen.
    EnterState(gsSendQuestion);
    Screen.MenuFocus = diCancel;
    ActivateItem();
  } else {
    Play.BannerTimer = SendFailedNoticeTime;
    EnterState(gsSendFailed);
  }
}

bool TmainForm::SwallowedWhileSending(const platform::Event& event) {
  // Keys pressed and clicks made at "Please Wait..." were meant for the wait, not for the screen
  // that follows it: two impatient presses of Enter must not clear the score table there. A key
  // pressed during the wait still latches, so that it does nothing until let go even when held
  // (and repeating) past the wait; its release ends the press, so the next key is taken.
  // Alt+Enter switches the display mode in every state, this one too.
  using platform::EventKind;
  switch (event.kind) {
    case EventKind::KeyDown:
      Input.KeyLatch = true;
      return true;
    case EventKind::KeyUp:
      if ((event.shift & platform::ssAlt) != 0 && event.key == vk::Return) return false;
      Input.KeyLatch = false;
      return true;
    case EventKind::Character:
    case EventKind::PointerMove:
    case EventKind::PointerDown:
    case EventKind::PadDown:  // a pad's release still lets go of the key it held
      return true;
    case EventKind::PointerUp:
      Input.PointerFire = false;
      Input.LeftPressed = false;
      return true;
    default:
      // Closing, the focus and the window's commands are not answers to the wait.
      return false;
  }
}

void TmainForm::DropInputMadeWhileWaiting() {
  // A fresh look at the queue: events the window system delivered since the last pass of the
  // message loop are still the wait's.
  platform::Event event;
  while (!Application.Terminated() && platform_.events().Poll(event)) {
    if (event.kind == platform::EventKind::Activate) Application.SetActive(true);
    if (event.kind == platform::EventKind::Deactivate) Application.SetActive(false);
    Dispatch(event);
  }
}

void TmainForm::ShowPleaseWait() {
  // The game frame's own picture of the wait, drawn now rather than at the next tick.
  if (!DrawSurface.ReadyToDraw()) return;
  TSurface& back = DrawSurface.BeginFrame();
  TCanvas& canvas = TextCanvas(back);
  back.Fill(0);
  SpriteEngine1.DrawAll();
  DrawHud(World, canvas);
  DrawSending(canvas);
  canvas.Release();
  DrawSurface.Flip();
}

void TmainForm::AskForStartTicket() {
  ++gameNumber_;
  if (serverTakesRecordings_) startTicket_.Start(ResultServer, gameNumber_);
}

void TmainForm::CollectStartTicket() {
  if (!Recording.Recording()) return;
  std::string ticket = startTicket_.Take(gameNumber_);
  if (!ticket.empty()) Recording.SetStartTicket(std::move(ticket));
}
