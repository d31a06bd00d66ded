// Start-up, the message loop, the display mode, music and the pointer's visibility.
#include <cstdlib>  // defines __GLIBC__ where the C library is glibc
#include <exception>
#include <string>
#include <utility>

#include "engine/base/exception.h"
#include "engine/base/paths.h"
#include "shell/main_form.h"

#ifdef __GLIBC__
#include <malloc.h>
#endif

TmainForm::TmainForm(platform::Platform& platform, GameFolders folders)
    : Application(platform),
      DrawSurface(platform.window(), platform.text()),
      FrameTimer1(Application),
      GameInput1(platform.keyboard(), platform.joystick(), platform.window()),
      FrameTimer2(Application),
      SoundDevice1(platform.sound()),
      World(
          Play, Screen.GameState, [this](TGameEvent event) { GameEvent(event); }, ImageList1, Rng,
          GameInput1, Input, [this](std::string_view name) { PlaySound(name); },
          SpriteEngine1.Root()),
      platform_(platform),
      folders_(std::move(folders)) {
  Application.SetErrorHandler([this](const char* message) { ShowError(message); });
  SpriteEngine1.SetDrawSurface(&DrawSurface);
  ImageList1.SetDrawSurface(&DrawSurface);
  WaveList1.SetSoundDevice(&SoundDevice1);

  FrameTimer1.SetInterval(FrameInterval);
  FrameTimer1.SetActiveOnly(true);
  FrameTimer1.SetEnabled(true);
  FrameTimer1.OnTimer = [this](int32_t lagCount) { GuardedFrame(FrameTimer1, lagCount); };
  FrameTimer1.OnActivate = [this] { FrameTimer1Activate(); };
  FrameTimer1.OnDeactivate = [this] { FrameTimer1Deactivate(); };

  FrameTimer2.SetInterval(FrameInterval);
  FrameTimer2.SetActiveOnly(false);
  FrameTimer2.SetEnabled(false);
  FrameTimer2.OnTimer = [this](int32_t lagCount) { GuardedFrame(FrameTimer2, lagCount); };
  FrameTimer2.OnActivate = [this] { FrameTimer2Activate(); };
  FrameTimer2.OnDeactivate = [this] { FrameTimer2Deactivate(); };

  // The window is loaded: the enabled timer starts, then the creation handler runs (which readies
  // the sound device once the first frame is shown).
  FrameTimer1.Loaded();
  FrameTimer2.Loaded();
  FormCreate();
}

TmainForm::~TmainForm() {
  FrameTimer1.SetEnabled(false);
  FrameTimer2.SetEnabled(false);
  // Sprites go before the pictures they show, and both before the surface they follow.
  SpriteEngine1.Root().RemoveAll();
  DrawSurface.ShutDown();
}

void TmainForm::ShowError(const char* message) {
  platform_.window().MessageBox(message);
}

void TmainForm::FormCreate() {
  Rng.Randomize(platform_.clock().Milliseconds());
  LoadConfig();
  UpdateBossKeyName();
  ChangeMode();
  // The fire key: Ctrl in the first place of button 1 (the design table has Z there).
  GameInput1.Keyboard.Assigns[isButton(1)][0] = vk::Control;
  FrameTimer2.SetEnabled(false);
  FrameTimer1.SetEnabled(true);
  Screen.ResumeState = gsMenu;
  EnterState(gsMenu);
  CreateMenuField(false);
  // The menu shows before the sound device opens and the sound effects and the song are read:
  // they take longer than the menu's pictures, and nothing sounds before the first frame anyway.
  // The first timer frame draws this same picture again.
  if (DrawSurface.ReadyToDraw()) DrawMenuFrame();
  SoundDevice1.Loaded();
  try {
    WaveList1.LoadFromFile(ResolvePath("sound\\gamesound.dxw", folders_.data));
  } catch (const Exception& error) {
    // The game is still playable without its sound effects: say why once, then go on silently.
    ShowError(error.what());
    soundsMissing_ = true;
  }
  if (Config.MusicOn) StartMusic(MenuSongName);
}

void TmainForm::PlaySound(std::string_view name) {
  if (Config.SoundOn && !soundsMissing_) WaveList1.Items().Find(name).Play();
}

void TmainForm::Run() {
  Application.Run([this](const platform::Event& event) { Dispatch(event); });
}

bool TmainForm::ProcessMessages() {
  return Application.ProcessMessages([this](const platform::Event& event) { Dispatch(event); });
}

void TmainForm::ExitStep() {
  if (endedOnRequest_) return;
  // The link file belongs to where the player started the game, not to the game's files.
  if (GameFileExists("play.url")) platform_.shell().Open(ResolvePath("play.url").string());
}

void TmainForm::ChangeMode() {
  platform::Window& window = platform_.window();
  DrawSurface.ShutDown();
  if (Config.WindowedMode) {
    DrawSurface.Options &= ~doFullScreen;
  } else {
    SavedPlacement = window.GetPlacement();
    DrawSurface.Options |= doFullScreen;
  }
  try {
    DrawSurface.StartUp();
  } catch (const EDrawSurfaceError& error) {
    // Full screen was refused: say so and stay in (or go back to) the window.
    ShowError(error.what());
    Config.WindowedMode = 1;
    DrawSurface.Options &= ~doFullScreen;
    DrawSurface.StartUp();
  }
  // Options shows the mode the game is in now, refused or not.
  if (Screen.MenuScreen == msOptions) ShowOptionSwitches();
  // The window is back: put it where it was before full screen, once.
  if (Config.WindowedMode && SavedPlacement) {
    window.SetPlacement(*SavedPlacement);
    SavedPlacement.reset();
  }
}

void TmainForm::StartMusic(const std::string& file) {
  platform::MusicPlayer& music = platform_.music();
  CurrentSong = music.SongLoadFromFile(ResolvePath(file, folders_.data).string());
  if (CurrentSong != 0) {
    music.SongPlay(CurrentSong);
  } else {
    platform_.window().MessageBox("Can't load music.");
    Config.MusicOn = 0;
  }
}

void TmainForm::SetCursorVisible(bool visible) {
  platform::Window& window = platform_.window();
  // One show call tells the display counter; then step it until the pointer is as asked.
  int counter = window.ShowCursor(true);
  if (visible) {
    while (counter < 0) counter = window.ShowCursor(true);
  } else {
    while (counter >= 0) counter = window.ShowCursor(false);
  }
}

void TmainForm::GiveMemoryBack() {
#ifdef __GLIBC__
  malloc_trim(0);
#endif
}
