// Fuzz target: a game's recording as the score server and `skarvel --replay` read it. Any bytes:
// the reader either refuses them with a reason, or gives a recording within every cap which,
// written again and read back, is the same recording.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>
#include <vector>

#include "protocol/replay_format.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  replay::Replay decoded;
  try {
    decoded = replay::DecodeReplay(std::span<const uint8_t>(data, size));
  } catch (const replay::ReplayFormatError& error) {
    if (error.what()[0] == '\0') std::abort();
    return 0;
  }
  const replay::ReplayHeader& h = decoded.Header;
  if (decoded.Ticks.size() != h.TickCount || h.TickCount > replay::MaxReplayTicks ||
      h.StartTicket.size() > replay::MaxStartTicketBytes ||
      h.Checkpoints.size() > replay::MaxCheckpoints) {
    std::abort();
  }
  for (const replay::ReplayTick& tick : decoded.Ticks) {
    if (tick.LagCount < 1 || tick.LagCount > replay::MaxLagCount ||
        (tick.Keys & ~replay::AllReplayKeys) != 0) {
      std::abort();
    }
  }
  // What was read writes again; a recording that compresses worse than the input did may pass the
  // upload cap, and then it is refused for that alone.
  try {
    // (Compared as bytes: a start's drift may be a NaN, which equals nothing.)
    const std::vector<uint8_t> again = replay::EncodeReplay(decoded);
    if (replay::EncodeReplay(replay::DecodeReplay(again)) != again) std::abort();
  } catch (const replay::ReplayFormatError&) {
  }
  (void)replay::RecordedGameMilliseconds(decoded);
  (void)replay::InputStreamDigest(decoded);
  return 0;
}
