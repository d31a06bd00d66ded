// Records a game as it is played, tick by tick, into a recording (protocol/replay_format.h): the
// start, what each tick read, the control events between ticks, a state hash every
// CheckpointInterval ticks, and at "GAME OVER" the claimed score. The main window feeds it; it
// knows no platform.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "game/game_start.h"
#include "game/play_state.h"
#include "protocol/replay_format.h"

struct TGameWorld;

class TReplayRecorder {
 public:
  static constexpr uint32_t CheckpointInterval = 2048;

  // New game: a recording starts from what the game starts from. The last game's recording is
  // given up (its result can no longer be sent).
  void Begin(const TGameStart& start, uint64_t archiveHash);
  bool Recording() const { return recording_.has_value(); }

  // The start ticket of the game being recorded; ignored when no game is recorded or the ticket
  // is longer than a recording may carry.
  void SetStartTicket(std::string ticket);
  // A control event between ticks; it goes with the next tick.
  void NoteControl(replay::ReplayControl control);
  // What the coming tick reads: the key states, the pointer's steering and its LagCount.
  void BeginTick(uint8_t keys, const PointerSteering& pointer, int32_t lagCount);
  // After the tick: what it left of the pointer's steering, and a checkpoint when one is due. The
  // exit question puts its own sprites on the field, so no checkpoint is taken while it is open.
  void EndTick(const TGameWorld& world, bool exitQuestionOpen);
  // The game is over after the last tick: the recording is closed with the claimed score and a
  // last checkpoint, and compressed. Returns the compressed bytes (also LastGameBytes()).
  const std::vector<uint8_t>& Finish(const TGameWorld& world, uint32_t claimedScore);
  // Something went wrong inside a tick (or the game ended otherwise): the recording proves
  // nothing and is dropped.
  void Abandon();

  // The compressed recording of the last game that reached "GAME OVER"; empty when none was
  // finished (or it was abandoned) since New game.
  const std::vector<uint8_t>& LastGameBytes() const { return lastGameBytes_; }
  // The same recording before compression.
  const std::optional<replay::Replay>& LastGame() const { return lastGame_; }

 private:
  std::optional<replay::Replay> recording_;
  std::vector<replay::ReplayControl> pendingControls_;
  replay::ReplayPointer pointerAfterLastTick_;
  uint32_t sinceCheckpoint_ = 0;
  std::vector<uint8_t> lastGameBytes_;
  std::optional<replay::Replay> lastGame_;
};

// The pointer's steering in a recording's terms.
replay::ReplayPointer ReplayPointerOf(const PointerSteering& pointer);
