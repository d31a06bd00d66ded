// The screen state machine's changes (docs/screen_states.md lists every transition): what the game
// reports, the pause, and the exit question with the state it returns to.
#include "shell/main_form.h"

void TmainForm::EnterState(TGameState state) {
  Screen.GameState = state;
}

void TmainForm::GameEvent(TGameEvent event) {
  // The states follow by the rules a re-simulated game follows too; the pointer is the window's.
  if (const std::optional<TGameState> next = StateAfterGameEvent(event)) EnterState(*next);
  switch (event) {
    case TGameEvent::BannerEnded:
      SetCursorVisible(false);
      platform_.window().SetCursorPos(SteeringCentreX, SteeringCentreY);
      break;
    case TGameEvent::DyingEnded:
      platform_.window().SetCursorPos(SteeringCentreX, SteeringCentreY);
      break;
    case TGameEvent::GameOverEnded:
      // A recording played back stays on its last picture until the viewer leaves.
      if (!Playback) LeaveGameOver();
      break;
    default:
      break;
  }
}

void TmainForm::Pause() {
  SetCursorVisible(true);
  Recording.NoteControl(replay::ReplayControl::Pause);
  // Paused again (the boss key over a pause): the state to resume stays the one first paused.
  EnterPause(Screen);
}

void TmainForm::Resume() {
  if (Screen.GameState == gsPaused) Recording.NoteControl(replay::ReplayControl::Resume);
  EnterState(StateAfterPause(Screen));
  if (Screen.GameState == gsPlaying) SetCursorVisible(false);
  platform_.window().SetCursorPos(SteeringCentreX, SteeringCentreY);
}

void TmainForm::OpenExitQuestion() {
  ScreenState& s = Screen;
  // The clear-scores question and the boss-key prompt give way, unanswered, so that the exit
  // question stands over the screen beneath them and its Cancel leads back there.
  if (s.GameState == gsMenu) CloseInnerDialog();
  NoteExitQuestionOver(s);
  s.ReturnScreen = s.MenuScreen;
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
    Recording.NoteControl(replay::ReplayControl::ExitQuestionOpened);
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
  // Recorded only over a game being recorded: the recorder ignores it elsewhere.
  Recording.NoteControl(replay::ReplayControl::ExitQuestionCancelled);
  EnterState(StateAfterExitQuestion(s));
  s.MenuScreen = s.ReturnScreen;
  s.MenuFocus =
      s.ReturnScreen == msMainMenu ? static_cast<uint8_t>(s.MainFocus) : Menu.DialogSavedFocus;
  SetDialogFrameVisible(Menu.FrameShownBeneath);
  if (s.GameState == gsPlaying) SetCursorVisible(false);
}
