// The proof of a recorded score: the recorded game played again from its start and input, without
// drawing, must reach "GAME OVER" on exactly its last tick with exactly the score it claims,
// agreeing with every state hash it carries along the way.
#pragma once

#include <cstdint>
#include <span>
#include <string>

#include "protocol/replay_format.h"
#include "sim/game_session.h"

struct ReplayVerdict {
  bool Proven = false;
  std::string Reason;  // why not, when not proven
  uint32_t FinalScore = 0;
  uint32_t Ticks = 0;  // ticks played again
};

// Never throws for a bad recording: whatever goes wrong, a throw inside a tick included, becomes
// a refusal with its reason.
ReplayVerdict VerifyReplay(const replay::Replay& replay, std::span<const uint8_t> gameArchiveBytes);
// With the game's pictures loaded once, for whoever checks many recordings.
ReplayVerdict VerifyReplay(const replay::Replay& replay, const TGamePictures& pictures);
