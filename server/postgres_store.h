// The world table in a PostgreSQL database, for operators who run several server instances behind
// one proxy: the same schema and queries as the SQLite store, created on first connect.
#pragma once

#include <chrono>
#include <functional>
#include <memory>
#include <string>

#include "server/score_store.h"

class TPostgresConnection;
template <typename Connection>
class TConnectionPool;

class TPostgresScoreStore : public TScoreStore {
 public:
  // Connects `connections` times with the libpq connection string `conninfo`. Throws
  // std::runtime_error with the server's message when it cannot connect or set up the schema.
  // Every later call ends within `callTimeout`, even against a server that stopped answering.
  // `log` (may be empty) hears of the schema being created.
  TPostgresScoreStore(const std::string& conninfo, size_t connections,
                      std::chrono::milliseconds callTimeout = DefaultStoreTimeout,
                      const std::function<void(const std::string&)>& log = {});
  ~TPostgresScoreStore() override;

  TStoreOutcome AddResult(const TNewScore& score, const std::string& tokenId,
                          int64_t tokenIssuedAt) override;
  std::vector<TRankedScore> Table(const TTableQuery& query) override;
  int64_t Count(const std::string& country) override;
  void ForgetTokensIssuedBefore(int64_t before) override;

 private:
  std::unique_ptr<TConnectionPool<TPostgresConnection>> pool_;
  const std::chrono::milliseconds callTimeout_;
};
