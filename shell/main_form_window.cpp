// Window events: close requests and the exit question's states, system commands, and what the
// frame timers do when the application gains or loses the focus.
#include <cstdio>
#include <string>

#include "game/level_loop.h"
#include "settings/config_file.h"
#include "shell/main_form.h"

void TmainForm::Close() {
  TCloseAction action = TCloseAction::caFree;
  FormClose(action);
  if (action == TCloseAction::caNone) return;
  closed_ = true;
  Application.Terminate();
}

void TmainForm::FormClose(TCloseAction& Action) {
  ScreenState& s = Screen;
  if (!s.ExitConfirmed) {
    Action = TCloseAction::caNone;
    // Nor during "GAME OVER", nor while a result is on its way: the wait ends by itself, and the
    // question would stand over a screen that is about to go.
    if (s.GameState == gsGameOver || s.GameState == gsSending) return;
    // The question is already asked: asking again would make it its own screen to return to.
    if (s.MenuScreen == msExitDialog) return;
    OpenExitQuestion();
    return;
  }
  if (s.GameState == gsExitQuestion) {
    // Leaving a game ends it through "GAME OVER"; the program goes on.
    Recording.NoteControl(replay::ReplayControl::ExitConfirmed);
    EndGameOnExit(s, Play);
    s.ExitConfirmed = false;
    Action = TCloseAction::caNone;
    SetDialogFrameVisible(false);
    DestroyMenu();
    PlaySound("looser");
  }
}

void TmainForm::EndOnRequest() {
  FrameTimer1.SetEnabled(false);
  FrameTimer2.SetEnabled(false);
  platform_.music().SongStop(CurrentSong);
  // What is on the screen (a game, a question) is given up; the settings, a country being typed
  // included, are kept. Nobody is left to answer a message box: a failure goes to the terminal.
  if (const std::string error = WriteConfigFile(ConfigFilePath(), Config); !error.empty()) {
    std::fprintf(stderr, "skarvel: the settings cannot be saved in config.dat: %s\n",
                 error.c_str());
  }
  endedOnRequest_ = true;
  closed_ = true;
  Application.Terminate();
}

void TmainForm::WMGetSysCommand(const WindowMessage& message) {
  if (message.Parameter == MaximizeCommand) {
    Config.WindowedMode = 0;
    ChangeMode();
    SaveConfig();
    return;
  }
  if (message.Parameter == MinimizeCommand) platform_.window().Minimise();
}

void TmainForm::CptClk(const WindowMessage& message) {
  if (message.Parameter != CaptionHitTest) return;
  Config.WindowedMode = 0;
  ChangeMode();
}

void TmainForm::FrameTimer1Deactivate() {
  platform_.music().SongStop(CurrentSong);
}

void TmainForm::FrameTimer2Deactivate() {
  platform_.music().SongStop(CurrentSong);
  // A recording played back is paused by its viewer, never inside the recorded game.
  if (Playback) {
    Playback->Paused = true;
    return;
  }
  if (IsGameRunning(Screen.GameState) || Screen.GameState == gsGameOver) Pause();
}

void TmainForm::FrameTimer1Activate() {
  if (Screen.GameState == gsMenu && Config.MusicOn) StartMusic(MenuSongName);
}

void TmainForm::FrameTimer2Activate() {
  if (Screen.GameState == gsPlaying) {
    SetCursorVisible(false);
    platform_.window().SetCursorPos(SteeringCentreX, SteeringCentreY);
  }
  if (Screen.GameState != gsMenu && Config.MusicOn) StartMusic(GameSongName);
}
