// The judge that re-runs a recording with the game's own simulation and the game's picture
// archive (hit boxes and explosion lengths come from it), and checks the start ticket's time.
#pragma once

#include <cstdint>
#include <memory>
#include <mutex>
#include <span>
#include <vector>

#include "server/replay_judge.h"
#include "server/score_token.h"

class TGamePictures;
namespace replay {
struct Replay;
}

// A recording whose game took less real time than this short of its game time is still taken:
// the ticket's and the result's times are whole seconds, and clocks drift a little.
inline constexpr int64_t StartTicketToleranceMs = 2000;

class SimulatingJudge : public ReplayJudge {
 public:
  // `archiveBytes`: the game-picture archive the game plays with. Throws when they are no such
  // archive. Recordings longer than `maxTicks` ticks are refused unread.
  SimulatingJudge(std::vector<uint8_t> archiveBytes, TokenSigner signer, uint32_t maxTicks);
  ~SimulatingJudge() override;

  uint64_t CheckUpload(std::span<const uint8_t> bytes) const override;
  ReplayJudgement Judge(std::span<const uint8_t> bytes, const ReplayClaim& claim) const override;

 private:
  // The checks of an upload on its decoded recording: ReplayUnfit, or the input stream's digest.
  uint64_t CheckRecording(const replay::Replay& recording) const;
  // The pictures for one judgement: each verifier thread gets a set of its own, loaded once.
  std::unique_ptr<TGamePictures> BorrowPictures() const;
  void ReturnPictures(std::unique_ptr<TGamePictures> pictures) const;

  const std::vector<uint8_t> archive_;
  const TokenSigner signer_;
  const uint32_t maxTicks_;
  uint64_t archiveHash_ = 0;
  mutable std::mutex picturesMutex_;
  mutable std::vector<std::unique_ptr<TGamePictures>> idlePictures_;
};
