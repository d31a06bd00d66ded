#include "sim/game_session.h"

#include "engine/pictures/picture_collection.h"
#include "game/field_layers.h"
#include "game/game_tick.h"
#include "game/level_loop.h"

// Devices that read nothing: a re-simulated game's input states come from the recording.
struct TGameSession::NullDevices final : platform::Keyboard, platform::Joystick, platform::Window {
  bool ReadState(platform::KeyTable&) override { return false; }
  bool Read(platform::JoystickReading&) override { return false; }
  bool SetFullScreen(bool) override { return false; }
  platform::WindowPlacement GetPlacement() override { return {}; }
  void SetPlacement(const platform::WindowPlacement&) override {}
  void Minimise() override {}
  bool IsForeground() override { return false; }
  void Present(const uint32_t*, int, int) override {}
  platform::PixelView FrameMemory(int, int) override { return {}; }
  int ShowCursor(bool) override { return 0; }
  void SetCursorPos(int, int) override {}
  void GetCursorPos(int& x, int& y) override { x = y = 0; }
  void MessageBox(std::string_view) override {}
};

TGamePictures::TGamePictures(std::span<const uint8_t> archiveBytes)
    : images_(std::make_unique<TImageList>()), archiveHash_(replay::GameArchiveHash(archiveBytes)) {
  images_->LoadFromBytes(archiveBytes);
  images_->Items.CutForHitTests();
}

TGameSession::TGameSession(const TGamePictures& pictures,
                           std::function<void(std::string_view)> playSound)
    : devices_(std::make_unique<NullDevices>()),
      input_(*devices_, *devices_, *devices_),
      World(
          Play, Screen.GameState, [this](TGameEvent event) { GameEvent(event); }, pictures.Images(),
          Rng, input_, Pointer, playSound ? std::move(playSound) : [](std::string_view) {},
          engine_) {
  engine_.ScreenRect = {0, 0, FieldWidth, FieldHeight};
  engine_.Width = FieldWidth;
  engine_.Height = FieldHeight;
}

TGameSession::~TGameSession() = default;

void TGameSession::Start(const TGameStart& start) {
  engine_.RemoveAll();
  RestoreGameStart(World, start);
  Pointer = {};
  input_.SetActiveStates({});
  exitQuestionOpen_ = false;
  Screen = {};
  Screen.GameState = gsPlaying;
  // The field in the main window's order: the sky, the dialog frame, the field's sprites.
  CreateGameBack(World);
  auto& frame = NewSprite<TImageSprite>(engine_);
  Place(frame, World.Images.Items[DialogFramePicture], DialogFrameLeft, DialogFrameTop,
        ZDialogFrame);
  frame.Visible = false;
  dialogFrame_ = &frame;
  CreateFieldSprites(World);
  StartNewGame(World);
}

void TGameSession::GameEvent(TGameEvent event) {
  if (const std::optional<TGameState> next = StateAfterGameEvent(event)) Screen.GameState = *next;
}

void TGameSession::Control(replay::ReplayControl control) {
  using replay::ReplayControl;
  const TGameState state = Screen.GameState;
  const auto refuse = [](const char* what) { throw EImpossibleControl(what); };
  if (state == gsGameOver) refuse("a control event after the game was over");
  switch (control) {
    case ReplayControl::Pause:
      EnterPause(Screen);
      break;
    case ReplayControl::Resume:
      if (state != gsPaused) refuse("a resume while the game was not paused");
      Screen.GameState = StateAfterPause(Screen);
      break;
    case ReplayControl::ExitQuestionOpened:
      if (exitQuestionOpen_ || !(IsGameRunning(state) || state == gsPaused)) {
        refuse("the exit question opened where it cannot");
      }
      NoteExitQuestionOver(Screen);
      Screen.GameState = gsExitQuestion;
      exitQuestionOpen_ = true;
      if (TImageSprite* frame = dialogFrame_.Get()) {
        SetPicture(*frame, World.Images.Items.Find(DialogFramePictureName));
        frame->Visible = true;
      }
      break;
    case ReplayControl::ExitQuestionCancelled:
      if (!exitQuestionOpen_) refuse("the exit question cancelled while not asked");
      Screen.GameState = StateAfterExitQuestion(Screen);
      exitQuestionOpen_ = false;
      if (TImageSprite* frame = dialogFrame_.Get()) frame->Visible = false;
      break;
    case ReplayControl::ExitConfirmed:
      if (!exitQuestionOpen_ || state != gsExitQuestion) {
        refuse("the exit question answered while not asked");
      }
      EndGameOnExit(Screen, Play);
      exitQuestionOpen_ = false;
      if (TImageSprite* frame = dialogFrame_.Get()) frame->Visible = false;
      World.PlaySound("looser");
      break;
  }
}

void TGameSession::Advance(const replay::ReplayTick& tick) {
  for (const replay::ReplayControl control : tick.Controls) Control(control);
  ApplyRecordedInput(tick, Pointer, input_);
  AdvanceGameTick(World, tick.LagCount, StateBeneath(Screen));
}

TGameStart GameStartOf(const replay::ReplayStart& s) {
  TGameStart start;
  start.RandSeed = s.RandSeed;
  PlayState& p = start.Play;
  p.Level = s.Level;
  p.Score = s.Score;
  p.Lives = s.Lives;
  p.LevelElapsed = s.LevelElapsed;
  p.LevelLength = s.LevelLength;
  p.BannerTimer = s.BannerTimer;
  p.DeathDelay = s.DeathDelay;
  p.WeaponTime = s.WeaponTime;
  p.ShieldTime = s.ShieldTime;
  p.NoticeTime = s.NoticeTime;
  p.ScrollFactor = s.ScrollFactor;
  p.EnemyDelay = s.EnemyDelay;
  p.BonusDelay = s.BonusDelay;
  p.TreeDelay = s.TreeDelay;
  p.DayNightDelay = s.DayNightDelay;
  p.DriftX = s.DriftX;
  p.DriftY = s.DriftY;
  p.ScorePlace = s.ScorePlace;
  return start;
}

replay::ReplayStart ReplayStartOf(const TGameStart& start) {
  const PlayState& p = start.Play;
  return {start.RandSeed,  p.Level,        p.Score,      p.Lives,      p.LevelElapsed,
          p.LevelLength,   p.BannerTimer,  p.DeathDelay, p.WeaponTime, p.ShieldTime,
          p.NoticeTime,    p.ScrollFactor, p.EnemyDelay, p.BonusDelay, p.TreeDelay,
          p.DayNightDelay, p.DriftX,       p.DriftY,     p.ScorePlace};
}

TInputStates InputStatesOf(uint8_t keys) {
  TInputStates states;
  states.set(isUp, (keys & replay::KeyUp) != 0);
  states.set(isDown, (keys & replay::KeyDown) != 0);
  states.set(isLeft, (keys & replay::KeyLeft) != 0);
  states.set(isRight, (keys & replay::KeyRight) != 0);
  states.set(isButton1, (keys & replay::KeyFire) != 0);
  return states;
}

void ApplyRecordedInput(const replay::ReplayTick& tick, PointerSteering& pointer,
                        TGameInput& input) {
  if (tick.Pointer) {
    pointer.PointerStepLeft = tick.Pointer->StepLeft;
    pointer.PointerStepRight = tick.Pointer->StepRight;
    pointer.PointerStepUp = tick.Pointer->StepUp;
    pointer.PointerStepDown = tick.Pointer->StepDown;
    pointer.PointerFire = tick.Pointer->Fire;
  }
  input.SetActiveStates(InputStatesOf(tick.Keys));
}

uint8_t ReplayKeysOf(const TGameInput& input) {
  uint8_t keys = 0;
  if (input.Held(isUp)) keys |= replay::KeyUp;
  if (input.Held(isDown)) keys |= replay::KeyDown;
  if (input.Held(isLeft)) keys |= replay::KeyLeft;
  if (input.Held(isRight)) keys |= replay::KeyRight;
  if (input.Held(isButton1)) keys |= replay::KeyFire;
  return keys;
}
