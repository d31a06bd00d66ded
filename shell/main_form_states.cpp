// The screen state machine's changes (docs/screen_states.md lists every transition): what the game
// reports, the pause, and the exit question with the state it returns to.
#include "shell/main_form.h"

void TmainForm::EnterState(TGameState state) {
  Screen.GameState = state;
}

void TmainForm::GameEvent(TGameEvent event) {
  switch (event) {
    case TGameEvent::NewGameBegins:
    case TGameEvent::LevelEnded:
      EnterState(gsLevelBanner);
      break;
    case TGameEvent::DragonDied:
      EnterState(gsDying);
      break;
    case TGameEvent::BannerEnded:
      EnterState(gsPlaying);
      SetCursorVisible(false);
      platform_.window().SetCursorPos(SteeringCentreX, SteeringCentreY);
      break;
    case TGameEvent::DyingEnded:
      EnterState(gsPlaying);
      platform_.window().SetCursorPos(SteeringCentreX, SteeringCentreY);
      break;
    case TGameEvent::LivesSpent:
      EnterState(gsGameOver);
      break;
    case TGameEvent::GameOverEnded:
      LeaveGameOver();
      break;
  }
}

void TmainForm::Pause() {
  SetCursorVisible(true);
  // Paused again (the boss key over a pause): the state to resume stays the one first paused.
  if (Screen.GameState != gsPaused) Screen.ResumeState = Screen.GameState;
  EnterState(gsPaused);
}

void TmainForm::Resume() {
  EnterState(Screen.ResumeState);
  if (Screen.GameState == gsPlaying) SetCursorVisible(false);
  platform_.window().SetCursorPos(SteeringCentreX, SteeringCentreY);
}

void TmainForm::OpenExitQuestion() {
  ScreenState& s = Screen;
  // The clear-scores question and the boss-key prompt give way, unanswered, so that the exit
  // question stands over the screen beneath them and its Cancel leads back there.
  if (s.GameState == gsMenu) CloseInnerDialog();
  s.ExitReturnState = s.GameState;
  s.ReturnScreen = s.MenuScreen;
  if (s.GameState != gsPaused) s.ResumeState = s.GameState;
  // Cancel comes back to the focused item: on the main menu through MainFocus, elsewhere
  // through the saved focus.
  if (s.GameState == gsMenu && s.MenuScreen == msMainMenu) {
    s.MainFocus = static_cast<TMainMenuItem>(s.MenuFocus);
  }
  Menu.DialogSavedFocus = s.MenuFocus;
  s.MenuScreen = msExitDialog;
  s.MenuFocus = diOk;
  Menu.FrameShownBeneath = DialogFrameVisible();
  SetDialogFrameVisible(true);
  if (IsGameRunning(s.GameState) || s.GameState == gsPaused) {
    if (IsGameRunning(s.GameState)) NotePlayLeft();
    SetCursorVisible(true);
    EnterState(gsExitQuestion);
  } else {
    // The menu, and the result and send dialogs after a game, keep their items for Cancel.
    Menu.DialogSavedItems = Menu.CurrentItems;
  }
  Input.PointerOnMainMenu = false;
  CreateExit();
}

void TmainForm::CloseExitQuestion() {
  ScreenState& s = Screen;
  DestroyMenu();
  // Whatever had items beneath the question (a menu screen, the result or send dialog) gets them
  // back; a running game had none.
  if (s.GameState != gsExitQuestion) Menu.CurrentItems = Menu.DialogSavedItems;
  EnterState(s.GameState == gsExitQuestion ? s.ExitReturnState : s.ResumeState);
  s.MenuScreen = s.ReturnScreen;
  s.MenuFocus =
      s.ReturnScreen == msMainMenu ? static_cast<uint8_t>(s.MainFocus) : Menu.DialogSavedFocus;
  SetDialogFrameVisible(Menu.FrameShownBeneath);
  if (s.GameState == gsPlaying) SetCursorVisible(false);
}
