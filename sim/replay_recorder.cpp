#include "sim/replay_recorder.h"
#include <algorithm>

#include "game/game_world.h"
#include "game/state_hash.h"
#include "sim/game_session.h"
#include "sim/simulation_id.h"

replay::ReplayPointer ReplayPointerOf(const PointerSteering& p) {
  return {p.PointerStepLeft, p.PointerStepRight, p.PointerStepUp, p.PointerStepDown, p.PointerFire};
}

void TReplayRecorder::Begin(const TGameStart& start, uint64_t archiveHash) {
  lastGameBytes_.clear();
  lastGame_.reset();
  recording_.emplace();
  replay::ReplayHeader& h = recording_->Header;
  h.SimulationId = SimulationId;
  h.ArchiveHash = archiveHash;
  h.Start = ReplayStartOf(start);
  pendingControls_.clear();
  // A re-simulated game starts with the pointer at rest.
  pointerAfterLastTick_ = {};
  sinceCheckpoint_ = 0;
}

void TReplayRecorder::SetStartTicket(std::string ticket) {
  if (!recording_ || ticket.size() > replay::MaxStartTicketBytes) return;
  recording_->Header.StartTicket = std::move(ticket);
}

void TReplayRecorder::NoteControl(replay::ReplayControl control) {
  if (!recording_) return;
  // A player who could make this many between two ticks is no player: the recording proves
  // nothing.
  if (pendingControls_.size() >= replay::MaxControlsPerTick) {
    Abandon();
    return;
  }
  pendingControls_.push_back(control);
}

void TReplayRecorder::BeginTick(uint8_t keys, const PointerSteering& pointer, int32_t lagCount) {
  if (!recording_) return;
  if (recording_->Ticks.size() >= replay::MaxReplayTicks) {
    Abandon();
    return;
  }
  replay::ReplayTick& tick = recording_->Ticks.emplace_back();
  tick.Keys = keys;
  tick.LagCount = std::clamp(lagCount, 1, replay::MaxLagCount);
  const replay::ReplayPointer now = ReplayPointerOf(pointer);
  if (now != pointerAfterLastTick_) tick.Pointer = now;
  tick.Controls = std::move(pendingControls_);
  pendingControls_.clear();
}

void TReplayRecorder::EndTick(const TGameWorld& world, bool exitQuestionOpen) {
  if (!recording_) return;
  pointerAfterLastTick_ = ReplayPointerOf(world.Pointer);
  ++sinceCheckpoint_;
  if (sinceCheckpoint_ < CheckpointInterval || exitQuestionOpen) return;
  recording_->Header.Checkpoints.push_back(
      {static_cast<uint32_t>(recording_->Ticks.size() - 1), GameStateHash(world)});
  sinceCheckpoint_ = 0;
}

const std::vector<uint8_t>& TReplayRecorder::Finish(const TGameWorld& world,
                                                    uint32_t claimedScore) {
  if (!recording_ || recording_->Ticks.empty()) {
    Abandon();
    return lastGameBytes_;
  }
  replay::ReplayHeader& h = recording_->Header;
  const auto last = static_cast<uint32_t>(recording_->Ticks.size() - 1);
  if (h.Checkpoints.empty() || h.Checkpoints.back().Tick != last) {
    h.Checkpoints.push_back({last, GameStateHash(world)});
  }
  h.ClaimedScore = claimedScore;
  h.TickCount = static_cast<uint32_t>(recording_->Ticks.size());
  try {
    lastGameBytes_ = replay::EncodeReplay(*recording_);
    lastGame_ = std::move(recording_);
  } catch (const replay::ReplayFormatError&) {
    lastGameBytes_.clear();
  }
  recording_.reset();
  return lastGameBytes_;
}

void TReplayRecorder::Abandon() {
  recording_.reset();
  pendingControls_.clear();
  lastGameBytes_.clear();
  lastGame_.reset();
}
