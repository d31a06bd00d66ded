// The verifier pool: recordings are re-run here, off the request path, by a fixed number of
// threads from a queue with a cap. A result waits as Pending in the store until its verdict is
// written. The queue is not kept across restarts: a result still Pending then stays so.
#pragma once

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "server/replay_judge.h"
#include "server/score_store.h"

struct VerifierSettings {
  size_t workers = 0;    // 0: one a core.
  size_t queueCap = 64;  // Uploads are refused (503) while this many recordings wait.
};

class ReplayVerifier {
 public:
  ReplayVerifier(ScoreStore& store, const ReplayJudge& judge, VerifierSettings settings,
                 std::function<void(const std::string&)> log);
  ~ReplayVerifier();  // Waits for the recordings being re-run; drops those still queued.
  ReplayVerifier(const ReplayVerifier&) = delete;
  ReplayVerifier& operator=(const ReplayVerifier&) = delete;

  // Whether an upload may be taken now: fewer than the cap wait.
  bool HasRoom() const;
  // Queues result `resultId`'s recording. An upload admitted by HasRoom may find the queue a
  // little fuller when its result comes; up to twice the cap still queue, beyond that false
  // (the caller then keeps the result unproven).
  bool Queue(int64_t resultId, std::vector<uint8_t> bytes, ReplayClaim claim);
  // Recordings queued or being re-run.
  size_t Waiting() const;
  const ReplayJudge& Judge() const { return judge_; }
  // Calls `settled` after each verdict is stored; nullptr stops it, and once that returns no
  // call is under way.
  void OnSettled(std::function<void()> settled);

 private:
  struct Job {
    int64_t resultId = 0;
    std::vector<uint8_t> bytes;
    ReplayClaim claim;
  };
  void Work();
  void Settle(const Job& job);

  ScoreStore& store_;
  const ReplayJudge& judge_;
  const size_t queueCap_;
  const std::function<void(const std::string&)> log_;
  std::mutex settledMutex_;
  std::function<void()> settled_;
  mutable std::mutex mutex_;
  std::condition_variable wake_;
  std::deque<Job> queue_;
  size_t running_ = 0;
  bool stopping_ = false;
  std::vector<std::thread> workers_;
};
