// Worker threads over one queue.
#include "server/replay_verifier.h"

#include <algorithm>

ReplayVerifier::ReplayVerifier(ScoreStore& store, const ReplayJudge& judge,
                               VerifierSettings settings,
                               std::function<void(const std::string&)> log)
    : store_(store),
      judge_(judge),
      queueCap_(std::max<size_t>(1, settings.queueCap)),
      log_(std::move(log)) {
  size_t workers = settings.workers;
  if (workers == 0) workers = std::max(1u, std::thread::hardware_concurrency());
  for (size_t i = 0; i < workers; ++i) workers_.emplace_back([this] { Work(); });
}

ReplayVerifier::~ReplayVerifier() {
  {
    std::lock_guard lock(mutex_);
    stopping_ = true;
  }
  wake_.notify_all();
  for (auto& worker : workers_) worker.join();
}

void ReplayVerifier::OnSettled(std::function<void()> settled) {
  std::lock_guard lock(settledMutex_);
  settled_ = std::move(settled);
}

bool ReplayVerifier::HasRoom() const {
  std::lock_guard lock(mutex_);
  return queue_.size() < queueCap_;
}

size_t ReplayVerifier::Waiting() const {
  std::lock_guard lock(mutex_);
  return queue_.size() + running_;
}

bool ReplayVerifier::Queue(int64_t resultId, std::vector<uint8_t> bytes, ReplayClaim claim) {
  {
    std::lock_guard lock(mutex_);
    if (stopping_ || queue_.size() >= 2 * queueCap_) return false;
    queue_.push_back({resultId, std::move(bytes), claim});
  }
  wake_.notify_one();
  return true;
}

void ReplayVerifier::Work() {
  std::unique_lock lock(mutex_);
  for (;;) {
    wake_.wait(lock, [this] { return stopping_ || !queue_.empty(); });
    if (stopping_) return;
    Job job = std::move(queue_.front());
    queue_.pop_front();
    ++running_;
    lock.unlock();
    Settle(job);
    lock.lock();
    --running_;
  }
}

void ReplayVerifier::Settle(const Job& job) {
  const ReplayJudgement verdict = judge_.Judge(job.bytes, job.claim);
  const std::string id = std::to_string(job.resultId);
  if (verdict.status == ResultStatus::Proven) {
    if (log_) {
      log_("result " + id + " proven (" + std::to_string(job.claim.score) +
           (verdict.startTicket ? ", start ticket held)" : ", no start ticket)"));
    }
  } else if (log_) {
    log_("result " + id + " refused: " + verdict.reason);
  }
  try {
    store_.SetStatus(job.resultId, verdict.status, verdict.startTicket);
    std::lock_guard lock(settledMutex_);
    if (settled_) settled_();
  } catch (const std::exception& error) {
    // The result stays Pending, never shown as proven; the log keeps the verdict.
    if (log_) log_("result " + id + ": verdict not stored: " + error.what());
  }
}
