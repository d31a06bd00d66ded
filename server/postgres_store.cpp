// PostgreSQL through libpq's non-blocking calls: every wait is a poll() with the call's deadline,
// so a server that stopped answering (even one stopped outright, where statement_timeout never
// fires) costs a call its time-out and no more. A connection that broke or timed out is dropped
// and made again on its next use.
#include "server/postgres_store.h"

#include <libpq-fe.h>
#include <poll.h>

#include <algorithm>
#include <cerrno>
#include <initializer_list>
#include <memory>
#include <stdexcept>
#include <string_view>
#include <vector>

#include "server/connection_pool.h"
#include "server/score_queries.h"

namespace {

constexpr const char* CreateScores =
    "CREATE TABLE IF NOT EXISTS scores ("
    " id BIGINT GENERATED ALWAYS AS IDENTITY PRIMARY KEY,"
    " name TEXT NOT NULL,"
    " country TEXT NOT NULL,"
    " score INTEGER NOT NULL,"
    " submitted_at BIGINT NOT NULL)";
// Instances starting together must not race to create the same tables: any number could be.
constexpr const char* LockSchema = "SELECT pg_advisory_xact_lock(7347012)";
constexpr const char* ScoresExist = "SELECT to_regclass('scores') IS NOT NULL";
// Connecting and creating the schema at start may take longer than a request may.
constexpr auto StartTimeout = std::chrono::seconds(10);
// A transaction left open by a client that vanished must not hold its locks for long.
constexpr int IdleInTransactionTimeoutMs = 10000;

struct ClearResult {
  void operator()(PGresult* result) const { PQclear(result); }
};
using PgResult = std::unique_ptr<PGresult, ClearResult>;

std::string Trimmed(std::string text) {
  while (!text.empty() && (text.back() == '\n' || text.back() == ' ')) text.pop_back();
  return text;
}

// Whether a failed statement says the database cannot work now (connection, resources, a
// cancelled or timed-out statement, a server shutting down) rather than a fault in our query.
bool IsUnavailability(const PGresult* result) {
  const char* state = PQresultErrorField(result, PG_DIAG_SQLSTATE);
  if (!state) return true;
  const std::string_view sqlClass = std::string_view(state).substr(0, 2);
  return sqlClass == "08" || sqlClass == "53" || sqlClass == "57" || sqlClass == "58";
}

}  // namespace

class PostgresConnection {
 public:
  PostgresConnection(std::string conninfo, std::chrono::milliseconds statementTimeout)
      : conninfo_(std::move(conninfo)), statementTimeout_(statementTimeout) {}
  ~PostgresConnection() { Drop(); }
  PostgresConnection(const PostgresConnection&) = delete;
  PostgresConnection& operator=(const PostgresConnection&) = delete;

  // Runs `sql` with text parameters by `deadline`. Throws StoreUnavailable when the server does
  // not answer in time or cannot be reached, std::runtime_error for any other failure.
  PgResult Run(const char* sql, std::initializer_list<std::string_view> parameters,
               StoreClock::time_point deadline) {
    EnsureConnected(deadline);
    std::vector<std::string> copies(parameters.begin(), parameters.end());
    std::vector<const char*> values;
    for (const auto& copy : copies) values.push_back(copy.c_str());
    if (!PQsendQueryParams(conn_, sql, static_cast<int>(values.size()), nullptr, values.data(),
                           nullptr, nullptr, 0)) {
      Broken("cannot send a query");
    }
    Flush(deadline);
    PgResult failed;
    PgResult last;
    for (;;) {
      AwaitResult(deadline);
      PgResult next(PQgetResult(conn_));
      if (!next) break;
      const auto status = PQresultStatus(next.get());
      if (status != PGRES_COMMAND_OK && status != PGRES_TUPLES_OK) {
        if (!failed) failed = std::move(next);
      } else {
        last = std::move(next);
      }
    }
    if (failed) {
      const std::string message = Trimmed(PQresultErrorMessage(failed.get()));
      if (PQstatus(conn_) != CONNECTION_OK) Broken(message.c_str());
      if (IsUnavailability(failed.get())) throw StoreUnavailable("PostgreSQL: " + message);
      throw std::runtime_error("PostgreSQL: " + message);
    }
    return last;
  }

  bool Connected() const { return conn_ != nullptr; }

  // Closes the connection; the next Run makes a new one.
  void Drop() {
    // In non-blocking mode PQfinish's goodbye never waits for a server that does not read.
    if (conn_) PQfinish(conn_);
    conn_ = nullptr;
  }

 private:
  // Waits for `events` on the connection's socket until `deadline`; false at the deadline.
  bool Wait(short events, StoreClock::time_point deadline) {
    pollfd descriptor{PQsocket(conn_), events, 0};
    for (;;) {
      const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - StoreClock::now());
      const int ready =
          ::poll(&descriptor, 1, static_cast<int>(std::max<int64_t>(0, left.count())));
      if (ready > 0) return true;
      if (ready == 0) return false;
      if (errno != EINTR) return false;
    }
  }

  [[noreturn]] void Broken(const char* what) {
    const std::string message = conn_ ? Trimmed(PQerrorMessage(conn_)) : std::string();
    Drop();
    throw StoreUnavailable("PostgreSQL: " + std::string(what) +
                           (message.empty() ? "" : ": " + message));
  }

  [[noreturn]] void TimedOut(const char* what) {
    // Whatever the server does with the statement later, this connection is out of step now.
    Drop();
    throw StoreUnavailable(std::string("PostgreSQL did not answer in time (") + what + ")");
  }

  void Flush(StoreClock::time_point deadline) {
    for (;;) {
      const int pending = PQflush(conn_);
      if (pending == 0) return;
      if (pending < 0) Broken("cannot send a query");
      if (!Wait(POLLOUT | POLLIN, deadline)) TimedOut("sending");
      if (!PQconsumeInput(conn_)) Broken("connection lost");
    }
  }

  void AwaitResult(StoreClock::time_point deadline) {
    while (PQisBusy(conn_)) {
      if (!Wait(POLLIN, deadline)) TimedOut("waiting for a result");
      if (!PQconsumeInput(conn_)) Broken("connection lost");
    }
  }

  void EnsureConnected(StoreClock::time_point deadline) {
    if (conn_) {
      // An idle connection has nothing to read: if it has, the server closed it (a restart, an
      // administrator's kill), and the next query on it would fail. Make a new one instead.
      pollfd descriptor{PQsocket(conn_), POLLIN, 0};
      if (PQstatus(conn_) == CONNECTION_OK && ::poll(&descriptor, 1, 0) == 0) return;
      Drop();
    }
    Connect(deadline);
  }

  // libpq's own connect_timeout counts whole seconds and only in its blocking connect, so the
  // connection is made step by step with the call's deadline instead.
  void Connect(StoreClock::time_point deadline) {
    // Names and countries are kept as UTF-8 whatever the database's own encoding; the connection
    // string comes first, so these settings after it hold whatever it says.
    const char* keywords[] = {"dbname", "client_encoding", nullptr};
    const char* values[] = {conninfo_.c_str(), "UTF8", nullptr};
    conn_ = PQconnectStartParams(keywords, values, 1);
    if (!conn_) throw StoreUnavailable("PostgreSQL: out of memory");
    if (PQstatus(conn_) == CONNECTION_BAD) Broken("cannot connect");
    auto state = PGRES_POLLING_WRITING;
    while (state != PGRES_POLLING_OK) {
      if (state == PGRES_POLLING_FAILED) Broken("cannot connect");
      if (!Wait(state == PGRES_POLLING_READING ? POLLIN : POLLOUT, deadline)) {
        TimedOut("connecting");
      }
      state = PQconnectPoll(conn_);
    }
    if (PQsetnonblocking(conn_, 1) != 0) Broken("cannot use the connection");
    // "relation already exists, skipping" and the like are not for the access log.
    PQsetNoticeProcessor(
        conn_, [](void*, const char*) {}, nullptr);
    // The server ends a statement that runs too long by itself (a slow query, a lock wait), so a
    // slow database frees the connection for the next call instead of keeping it busy.
    Run(("SET statement_timeout = " + std::to_string(statementTimeout_.count())).c_str(), {},
        deadline);
    Run(("SET idle_in_transaction_session_timeout = " + std::to_string(IdleInTransactionTimeoutMs))
            .c_str(),
        {}, deadline);
  }

  const std::string conninfo_;
  const std::chrono::milliseconds statementTimeout_;
  PGconn* conn_ = nullptr;
};

namespace {

// Rolls back unless committed, so a failure midway leaves neither the token spent nor the result.
class PostgresTransaction {
 public:
  PostgresTransaction(PostgresConnection& connection, StoreClock::time_point deadline)
      : connection_(connection), deadline_(deadline) {
    connection_.Run("BEGIN", {}, deadline_);
  }
  ~PostgresTransaction() {
    // A connection dropped midway took its transaction with it: nothing to roll back.
    if (done_ || !connection_.Connected()) return;
    try {
      connection_.Run("ROLLBACK", {}, deadline_);
    } catch (const std::exception&) {
      // A connection closed in a transaction rolls it back on the server's side.
      connection_.Drop();
    }
  }
  PostgresTransaction(const PostgresTransaction&) = delete;
  PostgresTransaction& operator=(const PostgresTransaction&) = delete;
  void Commit() {
    connection_.Run("COMMIT", {}, deadline_);
    done_ = true;
  }

 private:
  PostgresConnection& connection_;
  const StoreClock::time_point deadline_;
  bool done_ = false;
};

std::vector<RankedScore> ReadRows(const PgResult& result, int64_t firstRank) {
  std::vector<RankedScore> rows;
  const int count = PQntuples(result.get());
  rows.reserve(static_cast<size_t>(count));
  for (int i = 0; i < count; ++i) {
    RankedScore row;
    row.rank = firstRank + i;
    row.name = PQgetvalue(result.get(), i, 0);
    row.country = PQgetvalue(result.get(), i, 1);
    row.score = static_cast<uint16_t>(std::stoul(PQgetvalue(result.get(), i, 2)));
    row.submittedAt = std::stoll(PQgetvalue(result.get(), i, 3));
    row.id = std::stoll(PQgetvalue(result.get(), i, 4));
    row.status = static_cast<ResultStatus>(std::stoi(PQgetvalue(result.get(), i, 5)));
    row.startTicket = std::string_view(PQgetvalue(result.get(), i, 6)) != "0";
    rows.push_back(std::move(row));
  }
  return rows;
}

}  // namespace

PostgresScoreStore::PostgresScoreStore(const std::string& conninfo, size_t connections,
                                       std::chrono::milliseconds callTimeout,
                                       const std::function<void(const std::string&)>& log)
    : callTimeout_(callTimeout) {
  try {
    const auto deadline = StoreClock::now() + StartTimeout;
    PostgresConnection setup(conninfo,
                             std::chrono::duration_cast<std::chrono::milliseconds>(StartTimeout));
    PostgresTransaction transaction(setup, deadline);
    setup.Run(LockSchema, {}, deadline);
    const PgResult exists = setup.Run(ScoresExist, {}, deadline);
    if (std::string_view(PQgetvalue(exists.get(), 0, 0)) != "t" && log) {
      log("creating the score tables in the PostgreSQL database: it has none yet");
    }
    setup.Run(CreateScores, {}, deadline);
    for (const char* column : {score_queries::StatusColumn, score_queries::StartTicketColumn}) {
      setup.Run(("ALTER TABLE scores ADD COLUMN IF NOT EXISTS " + std::string(column)).c_str(), {},
                deadline);
    }
    for (const char* statement :
         {score_queries::CreateSpentTokens, score_queries::CreateReplays,
          score_queries::CreateRankIndex, score_queries::CreateProvenRankIndex,
          score_queries::CreateCountryIndex, score_queries::CreateTokenAgeIndex}) {
      setup.Run(statement, {}, deadline);
    }
    transaction.Commit();
    pool_ = std::make_unique<ConnectionPool<PostgresConnection>>(connections, [&] {
      auto connection = std::make_unique<PostgresConnection>(conninfo, callTimeout);
      // A first statement opens the connection, so a bad one is found now.
      connection->Run("SELECT 1", {}, deadline);
      return connection;
    });
  } catch (const StoreUnavailable& error) {
    throw std::runtime_error(std::string("cannot use the PostgreSQL database: ") + error.what());
  }
}

PostgresScoreStore::~PostgresScoreStore() = default;

StoreOutcome PostgresScoreStore::AddResult(const NewScore& score, const std::string& tokenId,
                                           int64_t tokenIssuedAt, int64_t* storedId) {
  const auto deadline = StoreClock::now() + callTimeout_;
  auto connection = pool_->Borrow(deadline);
  PostgresTransaction transaction(*connection, deadline);
  // A second transaction inserting the same token waits for the first and then inserts nothing.
  const PgResult spent = connection->Run(score_queries::SpendToken,
                                         {tokenId, std::to_string(tokenIssuedAt)}, deadline);
  if (std::string_view(PQcmdTuples(spent.get())) != "1") return StoreOutcome::TokenAlreadySpent;
  const PgResult inserted = connection->Run(
      score_queries::InsertScore,
      {score.name, score.country, std::to_string(score.score), std::to_string(score.submittedAt),
       std::to_string(static_cast<int>(score.status))},
      deadline);
  const std::string id = PQgetvalue(inserted.get(), 0, 0);
  connection->Run(score_queries::JoinReplay, {id, tokenId}, deadline);
  transaction.Commit();
  if (storedId) *storedId = std::stoll(id);
  return StoreOutcome::Stored;
}

std::vector<RankedScore> PostgresScoreStore::Table(const TableQuery& query) {
  const auto deadline = StoreClock::now() + callTimeout_;
  auto connection = pool_->Borrow(deadline);
  const std::string limit = std::to_string(query.limit);
  const std::string offset = std::to_string(query.offset);
  const auto [lowest, highest] = StatusRange(query.provenOnly);
  const std::string low = std::to_string(lowest);
  const std::string high = std::to_string(highest);
  if (query.country.empty()) {
    return ReadRows(connection->Run(score_queries::TablePage, {low, high, limit, offset}, deadline),
                    query.offset + 1);
  }
  return ReadRows(connection->Run(score_queries::CountryTablePage,
                                  {low, high, query.country, limit, offset}, deadline),
                  query.offset + 1);
}

int64_t PostgresScoreStore::Count(const std::string& country, bool provenOnly) {
  const auto deadline = StoreClock::now() + callTimeout_;
  auto connection = pool_->Borrow(deadline);
  const auto [lowest, highest] = StatusRange(provenOnly);
  const std::string low = std::to_string(lowest);
  const std::string high = std::to_string(highest);
  const PgResult result =
      country.empty()
          ? connection->Run(score_queries::CountAll, {low, high}, deadline)
          : connection->Run(score_queries::CountCountry, {low, high, country}, deadline);
  return std::stoll(PQgetvalue(result.get(), 0, 0));
}

void PostgresScoreStore::ForgetTokensIssuedBefore(int64_t before) {
  const auto deadline = StoreClock::now() + callTimeout_;
  auto connection = pool_->Borrow(deadline);
  connection->Run(score_queries::ForgetTokens, {std::to_string(before)}, deadline);
  connection->Run(score_queries::ForgetUnclaimedReplays, {"\\x", std::to_string(before)}, deadline);
}

namespace {

// Bytes as PostgreSQL reads a BYTEA parameter in text form, and back from its hex output.
std::string ByteaText(std::span<const uint8_t> bytes) {
  static constexpr char Digits[] = "0123456789abcdef";
  std::string text = "\\x";
  text.reserve(2 + bytes.size() * 2);
  for (const uint8_t byte : bytes) {
    text += Digits[byte >> 4];
    text += Digits[byte & 15];
  }
  return text;
}

std::vector<uint8_t> ByteaBytes(std::string_view text) {
  if (text.substr(0, 2) != "\\x") throw std::runtime_error("PostgreSQL: BYTEA not in hex form");
  text.remove_prefix(2);
  auto nibble = [](char c) {
    return static_cast<uint8_t>(c <= '9' ? c - '0' : (c | 0x20) - 'a' + 10);
  };
  std::vector<uint8_t> bytes(text.size() / 2);
  for (size_t i = 0; i < bytes.size(); ++i) {
    bytes[i] = static_cast<uint8_t>(nibble(text[2 * i]) << 4 | nibble(text[2 * i + 1]));
  }
  return bytes;
}

}  // namespace

ReplayOutcome PostgresScoreStore::AddReplay(const std::string& tokenId, uint64_t inputDigest,
                                            std::span<const uint8_t> bytes, int64_t uploadedAt) {
  const auto deadline = StoreClock::now() + callTimeout_;
  auto connection = pool_->Borrow(deadline);
  PostgresTransaction transaction(*connection, deadline);
  const PgResult inserted =
      connection->Run(score_queries::InsertReplay,
                      {tokenId, std::to_string(static_cast<int64_t>(inputDigest)),
                       std::to_string(uploadedAt), ByteaText(bytes)},
                      deadline);
  if (std::string_view(PQcmdTuples(inserted.get())) != "1") {
    const PgResult taken = connection->Run(score_queries::ReplayTokenTaken, {tokenId}, deadline);
    return PQntuples(taken.get()) > 0 ? ReplayOutcome::TokenHasReplay
                                      : ReplayOutcome::InputStreamKnown;
  }
  transaction.Commit();
  return ReplayOutcome::Stored;
}

std::optional<StoredReplay> PostgresScoreStore::ReplayForToken(const std::string& tokenId) {
  const auto deadline = StoreClock::now() + callTimeout_;
  auto connection = pool_->Borrow(deadline);
  const PgResult found = connection->Run(score_queries::ReplayForToken, {tokenId}, deadline);
  if (PQntuples(found.get()) == 0) return std::nullopt;
  return StoredReplay{ByteaBytes(PQgetvalue(found.get(), 0, 0)),
                      std::stoll(PQgetvalue(found.get(), 0, 1))};
}

void PostgresScoreStore::SetStatus(int64_t id, ResultStatus status, bool startTicket) {
  const auto deadline = StoreClock::now() + callTimeout_;
  auto connection = pool_->Borrow(deadline);
  connection->Run(
      score_queries::SetStatus,
      {std::to_string(static_cast<int>(status)), startTicket ? "1" : "0", std::to_string(id)},
      deadline);
}

std::optional<std::vector<uint8_t>> PostgresScoreStore::ProvenReplay(int64_t id) {
  const auto deadline = StoreClock::now() + callTimeout_;
  auto connection = pool_->Borrow(deadline);
  const PgResult found =
      connection->Run(score_queries::ProvenReplay, {std::to_string(id)}, deadline);
  if (PQntuples(found.get()) == 0) return std::nullopt;
  return ByteaBytes(PQgetvalue(found.get(), 0, 0));
}
