// The world table in a PostgreSQL database, for operators who run several server instances behind
// one proxy: the same schema and queries as the SQLite store, created on first connect.
#pragma once

#include <chrono>
#include <functional>
#include <memory>
#include <string>

#include "server/score_store.h"

class PostgresConnection;
template <typename Connection>
class ConnectionPool;

class PostgresScoreStore : public ScoreStore {
 public:
  // Connects `connections` times with the libpq connection string `conninfo`. Throws
  // std::runtime_error with the server's message when it cannot connect or set up the schema.
  // Every later call ends within `callTimeout`, even against a server that stopped answering.
  // `log` (may be empty) hears of the schema being created.
  PostgresScoreStore(const std::string& conninfo, size_t connections,
                     std::chrono::milliseconds callTimeout = DefaultStoreTimeout,
                     const std::function<void(const std::string&)>& log = {});
  ~PostgresScoreStore() override;

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
  std::unique_ptr<ConnectionPool<PostgresConnection>> pool_;
  const std::chrono::milliseconds callTimeout_;
};
