// Decoding, the checks against the result and the start ticket, then the game played again.
#include "server/simulating_judge.h"

#include "protocol/replay_format.h"
#include "sim/game_session.h"
#include "sim/replay_check.h"
#include "sim/simulation_id.h"

static_assert(MaxRecordingUploadBytes == replay::MaxReplayBytes);

namespace {

replay::Replay Decode(std::span<const uint8_t> bytes) {
  if (bytes.size() > replay::MaxReplayBytes) throw ReplayUnfit("larger than a recording may be");
  try {
    return replay::DecodeReplay(bytes);
  } catch (const replay::ReplayFormatError& error) {
    throw ReplayUnfit(std::string("not a readable recording: ") + error.what());
  }
}

}  // namespace

SimulatingJudge::SimulatingJudge(std::vector<uint8_t> archiveBytes, TokenSigner signer,
                                 uint32_t maxTicks)
    : archive_(std::move(archiveBytes)),
      signer_(std::move(signer)),
      maxTicks_(std::min(maxTicks, replay::MaxReplayTicks)) {
  // Read once now, so an archive that is none stops the start rather than every verdict.
  auto pictures = std::make_unique<TGamePictures>(archive_);
  archiveHash_ = pictures->ArchiveHash();
  idlePictures_.push_back(std::move(pictures));
}

SimulatingJudge::~SimulatingJudge() = default;

uint64_t SimulatingJudge::CheckUpload(std::span<const uint8_t> bytes) const {
  return CheckRecording(Decode(bytes));
}

uint64_t SimulatingJudge::CheckRecording(const replay::Replay& recording) const {
  const replay::ReplayHeader& header = recording.Header;
  if (header.SimulationId != SimulationId) {
    throw ReplayUnfit("recorded under simulation " + std::to_string(header.SimulationId) +
                      ", this server runs simulation " + std::to_string(SimulationId));
  }
  if (header.ArchiveHash != archiveHash_) {
    throw ReplayUnfit("recorded with another game-picture archive than this server's");
  }
  if (header.TickCount > maxTicks_) {
    throw ReplayUnfit("longer than the " + std::to_string(maxTicks_) + " ticks this server takes");
  }
  return replay::InputStreamDigest(recording);
}

ReplayJudgement SimulatingJudge::Judge(std::span<const uint8_t> bytes,
                                       const ReplayClaim& claim) const {
  ReplayJudgement judgement;
  try {
    // Decoded once: the upload's checks and the replay read the same recording.
    const replay::Replay recording = Decode(bytes);
    CheckRecording(recording);
    const replay::ReplayHeader& header = recording.Header;
    if (header.ClaimedScore != claim.score) {
      judgement.reason = "the result says " + std::to_string(claim.score) +
                         ", its recording claims " + std::to_string(header.ClaimedScore);
      return judgement;
    }
    if (!header.StartTicket.empty()) {
      TokenFault fault{};
      const auto ticket = signer_.VerifyStartTicket(header.StartTicket, claim.arrivedAt, &fault);
      if (!ticket) {
        judgement.reason = "start ticket: " + std::string(TokenFaultText(fault));
        return judgement;
      }
      // Both times are whole seconds: the game may have had up to a second more than this.
      const int64_t realMs = (claim.arrivedAt - ticket->issuedAt + 1) * 1000;
      const auto gameMs = static_cast<int64_t>(replay::RecordedGameMilliseconds(recording));
      if (realMs + StartTicketToleranceMs < gameMs) {
        judgement.reason = "the recording stands for " + std::to_string(gameMs / 1000) +
                           " s of play, but only " + std::to_string(realMs / 1000) +
                           " s passed since its start ticket";
        return judgement;
      }
      judgement.startTicket = true;
    }
    auto pictures = BorrowPictures();
    const ReplayVerdict verdict = VerifyReplay(recording, *pictures);
    ReturnPictures(std::move(pictures));
    if (!verdict.Proven) {
      judgement.reason = verdict.Reason;
      return judgement;
    }
    judgement.status = ResultStatus::Proven;
    return judgement;
  } catch (const std::exception& error) {
    judgement.reason = error.what();
    judgement.startTicket = false;
    return judgement;
  }
}

std::unique_ptr<TGamePictures> SimulatingJudge::BorrowPictures() const {
  {
    std::lock_guard lock(picturesMutex_);
    if (!idlePictures_.empty()) {
      auto pictures = std::move(idlePictures_.back());
      idlePictures_.pop_back();
      return pictures;
    }
  }
  return std::make_unique<TGamePictures>(archive_);
}

void SimulatingJudge::ReturnPictures(std::unique_ptr<TGamePictures> pictures) const {
  std::lock_guard lock(picturesMutex_);
  idlePictures_.push_back(std::move(pictures));
}
