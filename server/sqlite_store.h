// The world table in one SQLite file (write-ahead log), created with its schema on first open.
#pragma once

#include <sys/types.h>

#include <chrono>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

#include "server/connection_pool.h"
#include "server/score_store.h"

class SqliteConnection;

class SqliteScoreStore : public ScoreStore {
 public:
  // Opens or creates `path` with `connections` connections. Throws std::runtime_error with
  // SQLite's message when the file cannot be opened, is read-only or is not a score database.
  // Every later call ends within `callTimeout` (or sooner with StoreUnavailable). `log` (may be
  // empty) hears of a new, empty database being made.
  SqliteScoreStore(const std::string& path, size_t connections,
                   std::chrono::milliseconds callTimeout = DefaultStoreTimeout,
                   const std::function<void(const std::string&)>& log = {});
  ~SqliteScoreStore() override;

  using ScoreStore::AddResult;
  StoreOutcome AddResult(const NewScore& score, const std::string& tokenId, int64_t tokenIssuedAt,
                         int64_t* storedId) override;
  std::vector<RankedScore> Table(const TableQuery& query) override;
  using ScoreStore::Count;
  int64_t Count(const std::string& country, bool provenOnly) override;
  void ForgetTokensIssuedBefore(int64_t before) override;
  ReplayOutcome AddReplay(const std::string& tokenId, uint64_t inputDigest,
                          std::span<const uint8_t> bytes, int64_t uploadedAt) override;
  std::optional<StoredReplay> ReplayForToken(const std::string& tokenId) override;
  void SetStatus(int64_t id, ResultStatus status, bool startTicket) override;
  std::optional<std::vector<uint8_t>> ProvenReplay(int64_t id) override;

 private:
  void CheckpointNowAndThen(const std::string& path);
  // Throws StoreUnavailable when the file at the path is no longer the one opened: removed, or
  // its folder gone, the writes would land in a file nobody can open again.
  void CheckStillInPlace() const;
  StoreClock::time_point Deadline() const { return StoreClock::now() + callTimeout_; }

  const std::string path_;
  const std::chrono::milliseconds callTimeout_;
  dev_t device_ = 0;
  ino_t inode_ = 0;

  std::unique_ptr<ConnectionPool<SqliteConnection>> pool_;
  // The write-ahead log is copied back into the database by this thread, so the sync to disk
  // that copying needs never falls on a request's commit.
  std::mutex checkpointMutex_;
  std::condition_variable checkpointWake_;
  bool stopping_ = false;
  std::thread checkpointer_;
  // SQLite lets one writer in at a time and makes the others poll with growing sleeps (up to
  // 100 ms each); writers of this process queue here instead, and are let in as soon as it is free.
  std::timed_mutex writer_;
};
