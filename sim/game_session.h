// A game without a platform: everything one game needs (the play variables, the screen states, the
// game's pictures, the generator, the input, the pointer's steering and the sprites), advanced one
// recorded tick at a time, without drawing. The recording's check and `skarvel --replay` run games
// in it; the states follow one another by the main window's own rules (sim/game_flow.h).
#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <stdexcept>
#include <string>

#include "engine/base/random.h"
#include "engine/input/game_input.h"
#include "engine/pictures/image_list.h"
#include "engine/sprites/image_sprite.h"
#include "engine/sprites/sprite_engine.h"
#include "engine/sprites/sprite_ref.h"
#include "game/game_start.h"
#include "game/game_world.h"
#include "protocol/replay_format.h"
#include "sim/game_flow.h"

// The game's pictures as a re-simulated game needs them: read from the archive's bytes and cut
// for the hit tests, with the archive's hash. A game only reads them, so one set serves game after
// game.
class TGamePictures {
 public:
  // The archive reader's errors when the bytes are no image archive.
  explicit TGamePictures(std::span<const uint8_t> archiveBytes);
  TGamePictures(const TGamePictures&) = delete;
  TGamePictures& operator=(const TGamePictures&) = delete;

  uint64_t ArchiveHash() const { return archiveHash_; }
  TImageList& Images() const { return *images_; }

 private:
  std::unique_ptr<TImageList> images_;
  uint64_t archiveHash_ = 0;
};

// A recorded control event that the game could not have seen in its state.
class EImpossibleControl : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

class TGameSession {
 public:
  // Where the game's dialog frame stands (picture 1 of the game's archive); the main window shows
  // it under the exit question.
  static constexpr int32_t DialogFrameLeft = 220;
  static constexpr int32_t DialogFrameTop = 190;
  static constexpr int32_t DialogFramePicture = 1;
  // The picture the frame shows under the exit question.
  static constexpr const char* DialogFramePictureName = "console";

  // Plays sounds through `playSound` when given one (the replay viewer), else silently.
  explicit TGameSession(const TGamePictures& pictures,
                        std::function<void(std::string_view)> playSound = {});
  ~TGameSession();
  TGameSession(const TGameSession&) = delete;
  TGameSession& operator=(const TGameSession&) = delete;

  // New game from this start: the field is built and the banner of level 1 shows.
  void Start(const TGameStart& start);
  // One recorded tick: its control events, its pointer and keys, then the game's tick.
  // EImpossibleControl for a control event the game's state rules out.
  void Advance(const replay::ReplayTick& tick);
  // A control event as the main window applies it.
  void Control(replay::ReplayControl control);

  // The game has reached "GAME OVER" (the last life spent, or left through the exit question).
  bool GameOver() const { return Screen.GameState == gsGameOver; }
  bool ExitQuestionOpen() const { return exitQuestionOpen_; }

  PlayState Play;
  GameScreenStates Screen;
  TRandom Rng;
  PointerSteering Pointer;

 private:
  struct NullDevices;
  void GameEvent(TGameEvent event);

  std::unique_ptr<NullDevices> devices_;
  TGameInput input_;
  TSpriteEngine engine_;

 public:
  TGameWorld World;

 private:
  TSpriteRef<TImageSprite> dialogFrame_;
  bool exitQuestionOpen_ = false;
};

// The play variables and generator of a recording's start, and back.
TGameStart GameStartOf(const replay::ReplayStart& start);
replay::ReplayStart ReplayStartOf(const TGameStart& start);
// The five key states of a recording as the game's input states, and back.
TInputStates InputStatesOf(uint8_t keys);
uint8_t ReplayKeysOf(const TGameInput& input);
// Hands a recorded tick's input to the game as the player's would be: the pointer's steps when the
// tick has them, and the five key states.
void ApplyRecordedInput(const replay::ReplayTick& tick, PointerSteering& pointer,
                        TGameInput& input);
