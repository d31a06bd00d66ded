// Frames that fail: an error escaping a frame is shown in a message box like any other, but a
// frame that fails again right after would show a new box after every OK, for ever. The second
// failure in a row stops that loop instead.
#include <exception>
#include <string>

#include "shell/main_form.h"

void TmainForm::GuardedFrame(TFrameTimer& timer, int32_t LagCount) {
  const bool gameFrame = &timer == &FrameTimer2;
  int& failures = gameFrame ? gameFrameFailures_ : menuFrameFailures_;
  try {
    if (gameFrame) {
      FrameTimer2Timer(LagCount);
    } else {
      FrameTimer1Timer(LagCount);
    }
    failures = 0;
  } catch (const std::exception& error) {
    // The first failure may be passing (a sound device that went away): shown, and play goes on.
    if (++failures < 2) throw;
    failures = 0;
    timer.SetEnabled(false);
    // The game's failure has been shown already; a menu that cannot be drawn leaves nothing to go
    // back to.
    if (gameFrame) {
      LeaveFailedGame();
    } else {
      EndWithError(error.what());
    }
  }
}

void TmainForm::LeaveFailedGame() {
  // A result that was on its way is collected now when its worker is done, else by the next
  // result sent: the worker keeps the client until then.
  if (submission_.Running() && submission_.Done()) submission_.Finish(HttpClient1);
  Recording.Abandon();
  try {
    SetCursorVisible(true);
    Screen.ExitConfirmed = false;
    BackToMenu();
  } catch (const std::exception& error) {
    EndWithError(error.what());
  }
}

void TmainForm::EndWithError(const std::string& message) {
  FrameTimer1.SetEnabled(false);
  FrameTimer2.SetEnabled(false);
  fatalError_ = message;
  ShowError((message + "\n\nSkarvel cannot go on and closes now.").c_str());
  closed_ = true;
  Application.Terminate();
}
