#include "sim/replay_check.h"

#include <exception>
#include <sstream>

#include "game/state_hash.h"
#include "sim/simulation_id.h"

namespace {

std::string Hex(uint64_t value) {
  std::ostringstream text;
  text << std::hex << value;
  return text.str();
}

ReplayVerdict Refused(std::string reason, uint32_t score = 0, uint32_t ticks = 0) {
  return {false, std::move(reason), score, ticks};
}

// The checks a recording must pass before a tick is played.
std::string HeaderFault(const replay::Replay& replay, const TGamePictures& pictures) {
  const replay::ReplayHeader& h = replay.Header;
  if (h.SimulationId != SimulationId) {
    return "another simulation: recorded under simulation " + std::to_string(h.SimulationId) +
           ", this game is simulation " + std::to_string(SimulationId);
  }
  if (h.ArchiveHash != pictures.ArchiveHash()) {
    return "another game-picture archive: recorded with " + Hex(h.ArchiveHash) + ", this one is " +
           Hex(pictures.ArchiveHash());
  }
  if (h.TickCount != replay.Ticks.size()) {
    return "tick count differs: the header says " + std::to_string(h.TickCount) + ", it holds " +
           std::to_string(replay.Ticks.size());
  }
  if (replay.Ticks.empty()) return "no ticks recorded";
  if (const std::string fault = GameStartFault(GameStartOf(h.Start)); !fault.empty()) {
    return "a start no game could leave: " + fault;
  }
  if (replay.Ticks.size() > replay::MaxReplayTicks) return "too many ticks";
  return {};
}

}  // namespace

ReplayVerdict VerifyReplay(const replay::Replay& replay,
                           std::span<const uint8_t> gameArchiveBytes) {
  try {
    const TGamePictures pictures(gameArchiveBytes);
    return VerifyReplay(replay, pictures);
  } catch (const std::exception& error) {
    return Refused(std::string("the game's pictures cannot be read: ") + error.what());
  }
}

ReplayVerdict VerifyReplay(const replay::Replay& replay, const TGamePictures& pictures) {
  if (std::string fault = HeaderFault(replay, pictures); !fault.empty()) return Refused(fault);
  uint32_t played = 0;
  try {
    TGameSession session(pictures);
    session.Start(GameStartOf(replay.Header.Start));
    auto checkpoint = replay.Header.Checkpoints.begin();
    for (const replay::ReplayTick& tick : replay.Ticks) {
      if (session.GameOver()) {
        return Refused("the game was over after " + std::to_string(played) + " of the " +
                           std::to_string(replay.Ticks.size()) + " ticks",
                       session.Play.Score, played);
      }
      session.Advance(tick);
      if (checkpoint != replay.Header.Checkpoints.end() && checkpoint->Tick == played) {
        const uint64_t hash = GameStateHash(session.World);
        if (hash != checkpoint->Hash) {
          return Refused("the game parts from the recording before tick " + std::to_string(played) +
                             ": state hash " + Hex(hash) + ", recorded " + Hex(checkpoint->Hash),
                         session.Play.Score, played + 1);
        }
        ++checkpoint;
      }
      ++played;
    }
    const uint32_t score = session.Play.Score;
    if (!session.GameOver()) {
      return Refused("the game is not over at the last tick", score, played);
    }
    if (score != replay.Header.ClaimedScore) {
      return Refused("score differs: the game reaches " + std::to_string(score) +
                         ", the recording claims " + std::to_string(replay.Header.ClaimedScore),
                     score, played);
    }
    return {true, {}, score, played};
  } catch (const std::exception& error) {
    return Refused("the game failed at tick " + std::to_string(played) + ": " + error.what(), 0,
                   played);
  }
}
