// PostgreSQL through libpq: text parameters, one connection a worker, and a connection that broke
// is reset before its next use.
#include "server/postgres_store.h"

#include <libpq-fe.h>

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

struct TClearResult {
  void operator()(PGresult* result) const { PQclear(result); }
};
using TResult = std::unique_ptr<PGresult, TClearResult>;

}  // namespace

class TPostgresConnection {
 public:
  explicit TPostgresConnection(const std::string& conninfo) : conn_(PQconnectdb(conninfo.c_str())) {
    if (!conn_ || PQstatus(conn_) != CONNECTION_OK) {
      const std::string message = conn_ ? PQerrorMessage(conn_) : "out of memory";
      PQfinish(conn_);
      throw std::runtime_error("cannot connect to PostgreSQL: " + message);
    }
    // Names and countries are kept as UTF-8 whatever the database's own encoding.
    PQsetClientEncoding(conn_, "UTF8");
    // "relation already exists, skipping" and the like are not for the access log.
    PQsetNoticeProcessor(
        conn_, [](void*, const char*) {}, nullptr);
  }
  ~TPostgresConnection() { PQfinish(conn_); }
  TPostgresConnection(const TPostgresConnection&) = delete;
  TPostgresConnection& operator=(const TPostgresConnection&) = delete;

  // Runs `sql` with text parameters; throws with the server's message unless it succeeded.
  TResult Run(const char* sql, std::initializer_list<std::string_view> parameters = {}) {
    if (PQstatus(conn_) != CONNECTION_OK) PQreset(conn_);
    std::vector<std::string> copies(parameters.begin(), parameters.end());
    std::vector<const char*> values;
    for (const auto& copy : copies) values.push_back(copy.c_str());
    TResult result(PQexecParams(conn_, sql, static_cast<int>(values.size()), nullptr, values.data(),
                                nullptr, nullptr, 0));
    const auto status = PQresultStatus(result.get());
    if (status != PGRES_COMMAND_OK && status != PGRES_TUPLES_OK) {
      throw std::runtime_error(PQerrorMessage(conn_));
    }
    return result;
  }

  PGconn* Handle() { return conn_; }

 private:
  PGconn* conn_;
};

namespace {

class TPostgresTransaction {
 public:
  explicit TPostgresTransaction(TPostgresConnection& connection) : connection_(connection) {
    connection_.Run("BEGIN");
  }
  ~TPostgresTransaction() {
    if (!done_) PQclear(PQexec(connection_.Handle(), "ROLLBACK"));
  }
  void Commit() {
    connection_.Run("COMMIT");
    done_ = true;
  }

 private:
  TPostgresConnection& connection_;
  bool done_ = false;
};

std::vector<TRankedScore> ReadRows(const TResult& result, int64_t firstRank) {
  std::vector<TRankedScore> rows;
  const int count = PQntuples(result.get());
  rows.reserve(static_cast<size_t>(count));
  for (int i = 0; i < count; ++i) {
    TRankedScore row;
    row.rank = firstRank + i;
    row.name = PQgetvalue(result.get(), i, 0);
    row.country = PQgetvalue(result.get(), i, 1);
    row.score = static_cast<uint16_t>(std::stoul(PQgetvalue(result.get(), i, 2)));
    row.submittedAt = std::stoll(PQgetvalue(result.get(), i, 3));
    rows.push_back(std::move(row));
  }
  return rows;
}

}  // namespace

TPostgresScoreStore::TPostgresScoreStore(const std::string& conninfo, size_t connections) {
  {
    TPostgresConnection setup(conninfo);
    TPostgresTransaction transaction(setup);
    setup.Run(LockSchema);
    setup.Run(CreateScores);
    setup.Run(score_queries::CreateSpentTokens);
    setup.Run(score_queries::CreateRankIndex);
    setup.Run(score_queries::CreateCountryIndex);
    setup.Run(score_queries::CreateTokenAgeIndex);
    transaction.Commit();
  }
  pool_ = std::make_unique<TConnectionPool<TPostgresConnection>>(
      connections, [&conninfo] { return std::make_unique<TPostgresConnection>(conninfo); });
}

TPostgresScoreStore::~TPostgresScoreStore() = default;

TStoreOutcome TPostgresScoreStore::AddResult(const TNewScore& score, const std::string& tokenId,
                                             int64_t tokenIssuedAt) {
  auto connection = pool_->Borrow();
  TPostgresTransaction transaction(*connection);
  // A second transaction inserting the same token waits for the first and then inserts nothing.
  const TResult spent =
      connection->Run(score_queries::SpendToken, {tokenId, std::to_string(tokenIssuedAt)});
  if (std::string_view(PQcmdTuples(spent.get())) != "1") return TStoreOutcome::TokenAlreadySpent;
  connection->Run(
      score_queries::InsertScore,
      {score.name, score.country, std::to_string(score.score), std::to_string(score.submittedAt)});
  transaction.Commit();
  return TStoreOutcome::Stored;
}

std::vector<TRankedScore> TPostgresScoreStore::Table(const TTableQuery& query) {
  auto connection = pool_->Borrow();
  const std::string limit = std::to_string(query.limit);
  const std::string offset = std::to_string(query.offset);
  if (query.country.empty()) {
    return ReadRows(connection->Run(score_queries::TablePage, {limit, offset}), query.offset + 1);
  }
  return ReadRows(connection->Run(score_queries::CountryTablePage, {query.country, limit, offset}),
                  query.offset + 1);
}

int64_t TPostgresScoreStore::Count(const std::string& country) {
  auto connection = pool_->Borrow();
  const TResult result = country.empty() ? connection->Run(score_queries::CountAll)
                                         : connection->Run(score_queries::CountCountry, {country});
  return std::stoll(PQgetvalue(result.get(), 0, 0));
}

void TPostgresScoreStore::ForgetTokensIssuedBefore(int64_t before) {
  auto connection = pool_->Borrow();
  connection->Run(score_queries::ForgetTokens, {std::to_string(before)});
}
