// How the server judges a recording: a quick look when it is uploaded (it decodes, it is from
// this server's game, it is not too long) and the full judgement later, on a verifier thread,
// against the result it came with. The game's simulation sits behind this; the server's
// protocol code sees only these answers.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <stdexcept>
#include <string>

#include "server/score_store.h"

// The largest recording upload taken, the compressed recording's own cap.
inline constexpr size_t MaxRecordingUploadBytes = 256 * 1024;

// An upload the server will not keep; what() says why, for the client and the log.
struct ReplayUnfit : std::runtime_error {
  using std::runtime_error::runtime_error;
};

// What the result GET says that the recording must agree with.
struct ReplayClaim {
  uint16_t score = 0;
  int64_t arrivedAt = 0;  // Unix seconds the result came.
};

struct ReplayJudgement {
  ResultStatus status = ResultStatus::Refused;  // Proven or Refused.
  bool startTicket = false;                     // The recording carried a start ticket that held.
  std::string reason;                           // Why refused, for the log.
};

class ReplayJudge {
 public:
  virtual ~ReplayJudge() = default;
  // The digest of the recording's input stream; throws ReplayUnfit for a recording that cannot
  // be proven whatever result comes with it. Cheap: no simulation.
  virtual uint64_t CheckUpload(std::span<const uint8_t> bytes) const = 0;
  // Re-runs the recording. Never throws: anything wrong is a refusal. Called on several
  // verifier threads at once.
  virtual ReplayJudgement Judge(std::span<const uint8_t> bytes, const ReplayClaim& claim) const = 0;
};
