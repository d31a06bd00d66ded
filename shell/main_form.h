// The main window: the one object that owns every component and all global state of the game,
// with the handlers of its events. Its methods are spread over files by concern:
// main_form_startup.cpp (start-up, display mode, music, pointer), main_form_window.cpp (close
// requests, system commands, activation), main_form_input.cpp (event dispatch, keys, pointer),
// main_form_menu_frame.cpp and main_form_game_frame.cpp (the two frame loops).
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "engine/application.h"
#include "engine/draw_surface.h"
#include "engine/frame_timer.h"
#include "engine/game_input.h"
#include "engine/image_list.h"
#include "engine/platform/platform.h"
#include "engine/platform/virtual_keys.h"
#include "engine/random.h"
#include "engine/sound_device.h"
#include "engine/sprite_engine_component.h"
#include "engine/wave_list.h"
#include "shell/config_record.h"
#include "shell/game_state.h"

// What a close handler answers: let the window close, or refuse.
enum class TCloseAction : uint8_t { caNone, caHide, caFree, caMinimize };

// A window message as the system-command and non-client handlers receive it.
struct TMessage {
  uint32_t Msg = 0;
  uint32_t WParam = 0;
};

constexpr uint32_t WM_SYSCOMMAND = 0x0112;
constexpr uint32_t WM_NCLBUTTONDBLCLK = 0x00A3;
constexpr uint32_t SC_MINIMIZE = 0xF020;
constexpr uint32_t SC_MAXIMIZE = 0xF030;
constexpr uint32_t HTCAPTION = 2;

// The fixed length of one game frame's clocks and the menu frame, in milliseconds.
constexpr int32_t FrameInterval = 16;
// Where the pointer is held while playing, in surface pixels.
constexpr int SteeringCentreX = 400;
constexpr int SteeringCentreY = 300;

// The screen state machine and the menu's selectors.
struct ScreenState {
  GameStateValue GameState = gsMenu;
  GameStateValue ResumeState = gsMenu;
  GameStateValue ExitReturnState = 0;
  MenuScreenValue MenuScreen = msMainMenu;
  MenuScreenValue ReturnScreen = 0;
  uint8_t MenuFocus = 0;
  uint8_t MainFocus = 0;
  bool ExitConfirmed = false;
};

// Keyboard and pointer state of the menus and of pointer steering.
struct InputState {
  bool KeyLatch = false;
  bool PointerOnMainMenu = false;
  bool PointerOverItem = false;
  bool TextEntryActive = false;
  uint8_t PointerStepLeft = 0;
  uint8_t PointerStepRight = 0;
  uint8_t PointerStepUp = 0;
  uint8_t PointerStepDown = 0;
  bool PointerFire = false;
};

// The game-wide play variables that the shell itself touches.
struct PlayState {
  int32_t BannerTimer = 0;
};

class TmainForm {
 public:
  // Creates the components (the window is loaded), then runs FormCreate.
  explicit TmainForm(platform::Platform& platform);
  ~TmainForm();
  TmainForm(const TmainForm&) = delete;
  TmainForm& operator=(const TmainForm&) = delete;

  // The message loop: runs until the window has closed.
  void Run();
  // One pass of the message loop (for tests): pending events, then one idle call.
  bool ProcessMessages();
  // The exit step after the loop: opens "play.url" when it exists.
  void ExitStep();

  // --- Components, in creation order.
  platform::Platform& Platform() { return platform_; }
  TApplication Application;
  TDrawSurface DrawSurface;
  TSpriteEngineComponent SpriteEngine1;
  TImageList ImageList1;
  TFrameTimer FrameTimer1;
  TGameInput GameInput1;
  TFrameTimer FrameTimer2;
  TWaveList WaveList1;
  TSoundDevice SoundDevice1;

  // --- Global state.
  ScreenState Screen;
  // The settings and the score table, in plain form; "config.dat" holds them.
  ConfigRecord Config;
  std::string BossKeyName;
  std::string PlayerName;
  InputState Input;
  PlayState Play;
  // The game's one random generator, seeded from the clock at start-up.
  TRandom Rng;
  uint32_t CurrentSong = 0;
  // The placement saved by the last switch to full screen.
  std::optional<platform::WindowPlacement> SavedPlacement;

  // --- Start-up, display mode, music and pointer (main_form_startup.cpp).
  void FormCreate();
  void ChangeMode();
  void StartMusic(const std::string& file);
  void SetCursorVisible(bool visible);
  void CreateMenuField();
  // Plays a sound effect of the sound list when sounds are switched on.
  void PlaySound(std::string_view name);

  // --- The settings file (main_form_config.cpp).
  void LoadConfig();
  void SaveConfig();
  void UpdateBossKeyName();

  // --- Window events (main_form_window.cpp).
  // A request to close the window: asks FormClose and closes when it lets the close through.
  void Close();
  void FormClose(TCloseAction& Action);
  void WMGetSysCommand(const TMessage& message);
  void CptClk(const TMessage& message);
  void FrameTimer1Activate();
  void FrameTimer1Deactivate();
  void FrameTimer2Activate();
  void FrameTimer2Deactivate();

  // --- Keys and pointer (main_form_input.cpp).
  void Dispatch(const platform::Event& event);
  void FormKeyDown(uint16_t key, platform::ShiftState shift);
  void FormKeyUp(uint16_t key, platform::ShiftState shift);
  void DrawSurfaceMouseMove(platform::ShiftState shift, int x, int y);
  void DrawSurfaceMouseDown(platform::PointerButton button, platform::ShiftState shift, int x,
                            int y);
  void DrawSurfaceMouseUp(platform::PointerButton button, platform::ShiftState shift, int x, int y);

  // --- Frame loops.
  void FrameTimer1Timer(int32_t LagCount);
  void FrameTimer2Timer(int32_t LagCount);

  bool Closed() const { return closed_; }

 private:
  void ShowError(const char* message);

  platform::Platform& platform_;
  bool closed_ = false;
  // The sound archive could not be read (already reported): the game goes on silently.
  bool soundsMissing_ = false;
};
