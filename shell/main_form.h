// The main window: owns every component and the game's global state, and handles its events.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "engine/base/random.h"
#include "engine/drawing/draw_surface.h"
#include "engine/input/game_input.h"
#include "engine/pictures/image_list.h"
#include "engine/platform/platform.h"
#include "engine/platform/virtual_keys.h"
#include "engine/sound/sound_device.h"
#include "engine/sound/wave_list.h"
#include "engine/sprites/sprite_engine_component.h"
#include "engine/timing/application.h"
#include "engine/timing/frame_timer.h"
#include "game/game_state.h"
#include "game/game_world.h"
#include "game/level_loop.h"
#include "game/play_state.h"
#include "menus/menu_screen.h"
#include "menus/menu_state.h"
#include "online/http_client.h"
#include "online/online_config.h"
#include "online/result_submission.h"
#include "online/start_ticket_request.h"
#include "settings/config_record.h"
#include "settings/game_folders.h"
#include "sim/game_flow.h"
#include "sim/replay_recorder.h"

// What a close handler answers: let the window close, or refuse.
enum class TCloseAction : uint8_t { caNone, caHide, caFree, caMinimize };

// A window message as the system-command and caption handlers receive it: its number and its
// first parameter (the command code, or where the pointer was).
struct WindowMessage {
  uint32_t Id = 0;
  uint32_t Parameter = 0;
};

constexpr uint32_t SystemCommandMessage = 0x0112;
constexpr uint32_t CaptionDoubleClickMessage = 0x00A3;
constexpr uint32_t MinimizeCommand = 0xF020;
constexpr uint32_t MaximizeCommand = 0xF030;
constexpr uint32_t CaptionHitTest = 2;

// The songs of the menu and of the game.
constexpr const char* MenuSongName = "sound\\1.xm";
constexpr const char* GameSongName = "sound\\2.xm";
// Where the pointer is held while playing, in surface pixels.
constexpr int SteeringCentreX = 400;
constexpr int SteeringCentreY = 300;

// The screen state machine and the menu's selectors.
// The game's states (GameState, ResumeState, ExitReturnState) are sim/game_flow.h's, whose rules
// the main window follows.
struct ScreenState : GameScreenStates {
  TMenuScreen MenuScreen = msMainMenu;
  TMenuScreen ReturnScreen{};
  uint8_t MenuFocus = 0;
  TMainMenuItem MainFocus{};
  bool ExitConfirmed = false;
};

// Keyboard and pointer state of the menus, and the pointer's steering of the dragon.
struct InputState : PointerSteering {
  bool KeyLatch = false;
  bool PointerOnMainMenu = false;
  bool PointerOverItem = false;
  bool TextEntryActive = false;
  // Frames the text cursor has blinked for.
  uint8_t BlinkCounter = 0;
  // The left button went down on the surface; its release there is a click.
  bool LeftPressed = false;
  // The key each gamepad control is held down as (0: none), let go when the control is.
  std::array<uint16_t, platform::PadButtonCount> PadKeys{};
  // When play last gave way to a question or screen that A answers (the exit question over the
  // game, the result dialog or the menu after "GAME OVER"): A is the fire button in the game, and
  // for a moment after that a press of it is the player still firing.
  std::optional<uint32_t> PlayLeftAt;
};

// A recording played back in the window (`skarvel --replay`), and where it stands.
struct ReplayPlayback {
  replay::Replay Recording;
  size_t NextTick = 0;
  bool Paused = false;
  bool FastForward = false;
  // The end has been told on the terminal.
  bool Reported = false;
};

class TmainForm {
 public:
  // Creates the components (the window is loaded), then runs FormCreate. The game's files and
  // "config.dat" are looked for in `folders` (both the working folder unless told otherwise).
  explicit TmainForm(platform::Platform& platform, GameFolders folders = {});
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
  const GameFolders& Folders() const { return folders_; }
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
  MenuState Menu;
  PlayState Play;
  // The game's one random generator, seeded from the clock at start-up.
  TRandom Rng;
  uint32_t CurrentSong = 0;
  // The placement saved by the last switch to full screen.
  std::optional<platform::WindowPlacement> SavedPlacement;
  // What the game's sprites share of the state above, and the field's long-lived sprites.
  TGameWorld World;
  // The recording of the game being played, from New game to "GAME OVER"; once it is over,
  // Recording.LastGameBytes() holds it compressed for the upload, and a start ticket that
  // arrives while the game runs goes in through Recording.SetStartTicket.
  TReplayRecorder Recording;
  // Set while a recording is played back instead of a game played (main_form_replay.cpp).
  std::optional<ReplayPlayback> Playback;

  // --- Playing a recording back (main_form_replay.cpp).
  // Starts the recorded game from its start; the frames then play its ticks. Returns why it
  // cannot be played here (another simulation, other pictures), empty when it plays.
  std::string StartReplay(replay::Replay recording);

  // --- Start-up, display mode, music and pointer (main_form_startup.cpp).
  void FormCreate();
  void ChangeMode();
  void StartMusic(const std::string& file);
  void SetCursorVisible(bool visible);
  // Plays a sound effect of the sound list when sounds are switched on.
  void PlaySound(std::string_view name);

  // --- The settings file (main_form_config.cpp).
  void LoadConfig();
  void SaveConfig();
  void UpdateBossKeyName();
  // Where "config.dat" is.
  std::filesystem::path ConfigFilePath() const;

  // --- The screen state machine (main_form_states.cpp; docs/screen_states.md). Every change of
  // GameState goes through these.
  void EnterState(TGameState state);
  // What the game reports (game/ never sets the state itself).
  void GameEvent(TGameEvent event);
  // Pauses the game, keeping the state to resume (ResumeState), and resumes it.
  void Pause();
  void Resume();
  // Asks whether to leave, over whatever is shown, and goes back there on Cancel.
  void OpenExitQuestion();
  void CloseExitQuestion();

  // --- Window events (main_form_window.cpp).
  // A request to close the window: asks FormClose and closes when it lets the close through.
  void Close();
  void FormClose(TCloseAction& Action);
  // The session is ending or the terminal asks the program to end: no question is asked, the
  // settings are written as they stand, the music stops and the message loop ends.
  void EndOnRequest();
  void WMGetSysCommand(const WindowMessage& message);
  void CptClk(const WindowMessage& message);
  void FrameTimer1Activate();
  void FrameTimer1Deactivate();
  void FrameTimer2Activate();
  void FrameTimer2Deactivate();

  // --- Event dispatch and the pointer (main_form_input.cpp).
  void Dispatch(const platform::Event& event);
  void DrawSurfaceMouseMove(platform::ShiftState shift, int x, int y);
  // A click: the left button pressed and released on the surface.
  void DrawSurfaceClick();
  void DrawSurfaceMouseDown(platform::PointerButton button, platform::ShiftState shift, int x,
                            int y);
  void DrawSurfaceMouseUp(platform::PointerButton button, platform::ShiftState shift, int x, int y);

  // --- Keys and typing (main_form_keys.cpp).
  void FormKeyDown(uint16_t key, platform::ShiftState shift);
  void FormKeyUp(uint16_t key, platform::ShiftState shift);
  void FormKeyPress(uint32_t character);

  // --- The gamepad's commands (main_form_gamepad.cpp): each control acts as the key it stands
  // for in the state the game is in.
  void GamepadButtonDown(platform::PadButton button);
  void GamepadButtonUp(platform::PadButton button);

  // --- The menu field, the highlight and item activation (main_form_menu.cpp).
  // Reads the menu's pictures and builds the main menu; its song starts too unless told not to.
  void CreateMenuField(bool withMusic = true);
  void CreateMainMenu();
  void CreateSubMenu(const std::string& name);
  void DestroyMenu();
  void UpdateHighlight();
  void ActivateItem();

  // --- Options, Scores and Help (main_form_screens.cpp).
  void CreateOptions();
  void CreateScores();
  void CreateHelp();

  // --- The menu's questions and the boss-key prompt (main_form_dialogs.cpp).
  void CreateExit();

  // --- The game field (main_form_game_field.cpp).
  // New game: reads the game's pictures, then hands the timers over and builds the field. A
  // failure leaves (or brings back) the menu, with one message.
  void StartGame();
  // Builds the field with the pictures read from the game archive; the menu's pictures go to
  // `gamePictures` in exchange.
  void CreateGameField(TPictureCollection& gamePictures);
  // Hands the heap's free pages back to the system after a big release (an archive switched, an
  // exchange's buffers), so that the memory a player sees in use is the memory in use.
  static void GiveMemoryBack();
  // Empties the field between lives and levels.
  void ClearGameField();
  // The game being recorded has reached "GAME OVER" after this tick: the recording is closed and
  // kept in the player's replays/ folder (main_form_recording.cpp).
  void FinishRecording();
  // Where the player's recordings are kept: replays/ beside "config.dat".
  std::filesystem::path ReplayFolder() const;

  // --- The publisher's pages (main_form_online.cpp).
  void OpenHomePage();
  void OpenOnlineScores();

  // --- Frame loops.
  void FrameTimer1Timer(int32_t LagCount);
  // Draws and presents the menu as it stands, moving nothing.
  void DrawMenuFrame();
  void FrameTimer2Timer(int32_t LagCount);
  // The shell's part of a game frame beyond the game's tick: the send-failure notice's countdown.
  void AdvanceShellTick();
  // The field, the heads-up texts and the caption of the state, onto the back buffer; reads only.
  void DrawGameFrame(TSurface& back);
  // The caption of the game's state over the field.
  void GameCaptions(TCanvas& canvas);
  // The back buffer's canvas as both frame loops draw their texts: the game's font at 16,
  // black, over a transparent background.
  TCanvas& TextCanvas(TSurface& back);
  // The captions and transitions of the end of a game (game over, the result dialog, the send
  // question, sending and its failure), drawn over the frozen field (main_form_game_over.cpp).
  void EndOfGameFrame(TCanvas& canvas);
  // Leaves the game's screens for the main menu.
  void BackToMenu();

  // --- The end of a game: the result dialog, the send question and sending the result
  // (main_form_game_over.cpp, main_form_result_dialog.cpp, main_form_submit.cpp).
  // The client that talks to the high-score server.
  THttpClient HttpClient1;
  // Where results are sent: the server this build names; a test points it at its own.
  std::string ResultServer{ScoreServer()};
  // Starts sending the result to the high-score server and shows the wait (gsSending). The
  // exchange runs on a worker thread; the game frame collects its outcome: success leaves the
  // game for the Scores screen, failure shows "CAN'T CONNECT TO SERVER!".
  void SubmitResult();
  // The result dialog's OK: the entry goes into the table and "config.dat", then the send
  // question.
  void TakeResult();

  bool Closed() const { return closed_; }
  // Why the program ended on its own, with the message it showed; empty after a normal exit.
  const std::string& FatalError() const { return fatalError_; }

  // --- Frames that fail (main_form_frame_guard.cpp).
  // One frame of the menu (FrameTimer1) or of the game (FrameTimer2). An exception escaping it
  // is shown like any other; escaping the same loop's next frame too, it is not shown forever:
  // the game gives way to the main menu, and a menu that cannot be drawn ends the program.
  void GuardedFrame(TFrameTimer& timer, int32_t LagCount);
  // Leaves a game that cannot go on for the main menu; ends the program when the menu cannot be
  // built either.
  void LeaveFailedGame();
  // Shows the message, says that the program closes, and ends the message loop.
  void EndWithError(const std::string& message);

 private:
  // Playback internals: the viewer's keys, one frame (as many ticks as the speed asks, then the
  // picture with a note), one recorded tick, a recorded control event, and the end.
  void PlaybackKey(uint16_t key, bool down);
  void PlaybackFrame();
  void PlaybackTick(const replay::ReplayTick& tick);
  void ApplyRecordedControl(replay::ReplayControl control);
  void EndPlayback();

  void ShowError(const char* message);

  // Menu internals (main_form_menu.cpp, main_form_screens.cpp, main_form_dialogs.cpp).
  // Whether the main menu's items answer the pointer behind the active screen.
  bool MainMenuLive() const;
  // Shows the focused item's picture and hides the others, without a sound.
  void ShowFocusedItem();
  void ActivateMainMenuItem();
  void ActivateOptionsItem();
  void ActivateScoresItem();
  void ActivateHelpItem();
  void ActivateExitItem();
  void ActivateClearScoresItem();
  // Creates an item of the screen at its ItemRects place, records its size, puts it in its slot.
  TMenuItem& AddScreenItem(TMenuScreen screen, int item, const char* picture, bool visible,
                           int32_t z);
  void OpenSubScreen(TMenuScreen screen, const char* panel);
  void LeaveSubScreen();
  void ReturnToMainMenu();
  void ShowOptionSwitches();
  void ShowHelpPage();
  // A question over the screen beneath, answered OK or Cancel (the clear-scores question).
  void OpenMenuDialog(TMenuScreen dialog);
  void CloseMenuDialog();
  // Closes the clear-scores question or the boss-key prompt unanswered.
  void CloseInnerDialog();
  void SetDialogFrameVisible(bool visible);
  bool DialogFrameVisible() const;
  void TakeBossKey(uint16_t key);

  // Pointer and keys (main_form_input.cpp, main_form_keys.cpp).
  bool MenuPointerState() const;
  // The hit test of the menu items at a pointer position: moves the focus to the item there.
  void PointAt(int x, int y);
  void MenuKeyDown(uint16_t key, platform::ShiftState shift);
  void GameKeyDown(uint16_t key);
  void MoveFocus(int step);
  // The key a gamepad control stands for now; 0 when it means nothing here.
  uint16_t GamepadKey(platform::PadButton button) const;
  // Notes that play has just given way to a question or screen (PlayLeftAt).
  void NotePlayLeft();
  // Whether a press of A now is still the fire of the play that has just given way.
  bool PadFireStillHeld();
  // Applies `change` to the text field that typing edits now, if any.
  void EditText(const std::function<void(std::string&)>& change);

  // Texts (main_form_menu_texts.cpp).
  void DrawMenuTexts(TCanvas& canvas);
  void DrawExitQuestion(TCanvas& canvas);
  void DrawOptionsTexts(TCanvas& canvas);
  void DrawScoresTexts(TCanvas& canvas);

  // The end of a game (main_form_game_over.cpp, main_form_result_dialog.cpp,
  // main_form_submit.cpp).
  void DrawGameOver(TCanvas& canvas);
  // The game-over banner has stood its time: the result dialog, or the menu without a place.
  void LeaveGameOver();
  void OpenResultDialog();
  void DrawResultDialog(TCanvas& canvas);
  void DrawSendQuestion(TCanvas& canvas);
  void DrawSending(TCanvas& canvas);
  void DrawSendFailed(TCanvas& canvas);
  void ActivateResultItem();
  void ActivateSendItem();
  // The send question's No: the main menu with the Scores screen open, the new entry in sight.
  void ShowScoresAfterGame();
  // The waiting frame, painted at once when the result sets out.
  void ShowPleaseWait();
  // Once the worker is done: the outcome of the exchange, and the screen it leads to.
  void CollectSubmission();
  // At New game: asks for the game's start ticket when the server hands them out.
  void AskForStartTicket();
  // Each game frame: a start ticket that has come goes into the game's recording.
  void CollectStartTicket();
  // Whether an event is input made during the wait, which is dropped (a release still ends its
  // press); the window's own events are not.
  bool SwallowedWhileSending(const platform::Event& event);
  // Empties the event queue of the keys and clicks that came while the player was waiting.
  void DropInputMadeWhileWaiting();

  platform::Platform& platform_;
  GameFolders folders_;
  // The result on its way to the server, with the client while the worker has it.
  TResultSubmission submission_;
  // Start tickets: asked for at New game from a server known (from this session's last
  // handshake) to take recordings, so a server that does not is never asked; handed to the
  // recording when one comes before the game ends.
  TStartTicketRequest startTicket_;
  bool serverTakesRecordings_ = false;
  uint64_t gameNumber_ = 0;
  bool closed_ = false;
  // Ended by EndOnRequest: the desktop is going away, and nothing is opened on it.
  bool endedOnRequest_ = false;
  std::string fatalError_;
  // Frames of each loop that have failed in a row.
  int menuFrameFailures_ = 0;
  int gameFrameFailures_ = 0;
  // The sound archive could not be read (already reported): the game goes on silently.
  bool soundsMissing_ = false;
};
