// The world table in one SQLite file (write-ahead log), created with its schema on first open.
#pragma once

#include <condition_variable>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

#include "server/score_store.h"

class TSqliteConnection;
template <typename Connection>
class TConnectionPool;

class TSqliteScoreStore : public TScoreStore {
 public:
  // Opens or creates `path` with `connections` connections. Throws std::runtime_error with
  // SQLite's message when the file cannot be opened or is not a score database.
  TSqliteScoreStore(const std::string& path, size_t connections);
  ~TSqliteScoreStore() override;

  TStoreOutcome AddResult(const TNewScore& score, const std::string& tokenId,
                          int64_t tokenIssuedAt) override;
  std::vector<TRankedScore> Table(const TTableQuery& query) override;
  int64_t Count(const std::string& country) override;
  void ForgetTokensIssuedBefore(int64_t before) override;

 private:
  void CheckpointNowAndThen(const std::string& path);

  std::unique_ptr<TConnectionPool<TSqliteConnection>> pool_;
  // The write-ahead log is copied back into the database by this thread, so the sync to disk
  // that copying needs never falls on a request's commit.
  std::mutex checkpointMutex_;
  std::condition_variable checkpointWake_;
  bool stopping_ = false;
  std::thread checkpointer_;
  // SQLite lets one writer in at a time and makes the others poll with growing sleeps (up to
  // 100 ms each); writers of this process queue here instead, and are let in as soon as it is free.
  std::mutex writer_;
};
