// SQLite with one connection a worker: readers never wait for the writer (write-ahead log), and
// writers queue on SQLite's own lock with a busy time-out.
#include "server/sqlite_store.h"

#include <sqlite3.h>
#include <sys/stat.h>

#include <chrono>
#include <stdexcept>
#include <string_view>
#include <unordered_map>

#include "server/connection_pool.h"
#include "server/score_queries.h"

namespace {

constexpr auto CheckpointInterval = std::chrono::seconds(1);

constexpr const char* CreateScores =
    "CREATE TABLE IF NOT EXISTS scores ("
    " id INTEGER PRIMARY KEY,"
    " name TEXT NOT NULL,"
    " country TEXT NOT NULL,"
    " score INTEGER NOT NULL,"
    " submitted_at BIGINT NOT NULL)";

// Whether an SQLite status means the database cannot work now (locked too long, the disk full or
// failing, the file gone or read-only) rather than a fault in our statements.
bool IsUnavailability(int status) {
  switch (status & 0xFF) {
    case SQLITE_BUSY:
    case SQLITE_LOCKED:
    case SQLITE_FULL:
    case SQLITE_IOERR:
    case SQLITE_READONLY:
    case SQLITE_CANTOPEN:
    case SQLITE_CORRUPT:
    case SQLITE_NOTADB:
    case SQLITE_PROTOCOL:
      return true;
    default:
      return false;
  }
}

[[noreturn]] void Fail(int status, const std::string& message) {
  if (IsUnavailability(status)) throw StoreUnavailable("SQLite: " + message);
  throw std::runtime_error("SQLite: " + message);
}

}  // namespace

// One open database with its prepared statements, used by one thread at a time.
class SqliteConnection {
 public:
  SqliteConnection(const std::string& path, std::chrono::milliseconds busyTimeout) {
    const int status =
        sqlite3_open_v2(path.c_str(), &db_,
                        SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_NOMUTEX, nullptr);
    if (status != SQLITE_OK) {
      const std::string message = db_ ? sqlite3_errmsg(db_) : sqlite3_errstr(status);
      sqlite3_close(db_);
      throw std::runtime_error("cannot open " + path + ": " + message);
    }
    sqlite3_busy_timeout(db_, static_cast<int>(busyTimeout.count()));
  }
  ~SqliteConnection() {
    for (auto& [text, statement] : statements_) sqlite3_finalize(statement);
    sqlite3_close(db_);
  }
  SqliteConnection(const SqliteConnection&) = delete;
  SqliteConnection& operator=(const SqliteConnection&) = delete;

  void Execute(const char* sql) {
    char* error = nullptr;
    const int status = sqlite3_exec(db_, sql, nullptr, nullptr, &error);
    if (status != SQLITE_OK) {
      const std::string message = error ? error : sqlite3_errmsg(db_);
      sqlite3_free(error);
      Fail(status, message);
    }
  }

  // The statement for `sql`, prepared once and reset for a new use.
  sqlite3_stmt* Statement(const char* sql) {
    auto found = statements_.find(sql);
    if (found == statements_.end()) {
      sqlite3_stmt* statement = nullptr;
      Check(sqlite3_prepare_v3(db_, sql, -1, SQLITE_PREPARE_PERSISTENT, &statement, nullptr));
      found = statements_.emplace(sql, statement).first;
    }
    sqlite3_reset(found->second);
    sqlite3_clear_bindings(found->second);
    return found->second;
  }

  void Check(int status) {
    if (status != SQLITE_OK && status != SQLITE_ROW && status != SQLITE_DONE) {
      Fail(status, sqlite3_errmsg(db_));
    }
  }

  void Bind(sqlite3_stmt* statement, int index, std::string_view text) {
    Check(sqlite3_bind_text(statement, index, text.data(), static_cast<int>(text.size()),
                            SQLITE_TRANSIENT));
  }
  void Bind(sqlite3_stmt* statement, int index, int64_t value) {
    Check(sqlite3_bind_int64(statement, index, value));
  }
  void Bind(sqlite3_stmt* statement, int index, std::span<const uint8_t> bytes) {
    // No bytes would bind as NULL; an empty blob is what is meant.
    if (bytes.empty()) return Check(sqlite3_bind_zeroblob(statement, index, 0));
    Check(sqlite3_bind_blob64(statement, index, bytes.data(), bytes.size(), SQLITE_TRANSIENT));
  }

  // Whether `table` has a column called `column`.
  bool HasColumn(const char* table, const char* column) {
    sqlite3_stmt* statement =
        Statement("SELECT COUNT(*) FROM pragma_table_info($1) WHERE name = $2");
    Bind(statement, 1, std::string_view(table));
    Bind(statement, 2, std::string_view(column));
    Check(sqlite3_step(statement));
    const bool has = sqlite3_column_int64(statement, 0) > 0;
    sqlite3_reset(statement);
    return has;
  }

  // Runs a statement that returns no rows; the number of rows it changed.
  int Run(sqlite3_stmt* statement) {
    Check(sqlite3_step(statement));
    return sqlite3_changes(db_);
  }

  sqlite3* Handle() { return db_; }

 private:
  sqlite3* db_ = nullptr;
  std::unordered_map<const char*, sqlite3_stmt*> statements_;
};

namespace {

// Rolls back unless committed, so a failure midway leaves neither the token spent nor the result.
class SqliteTransaction {
 public:
  explicit SqliteTransaction(SqliteConnection& connection) : connection_(connection) {
    // IMMEDIATE takes the write lock now, so two writers never both read and then fail to write.
    connection_.Execute("BEGIN IMMEDIATE");
  }
  ~SqliteTransaction() {
    if (!done_) sqlite3_exec(connection_.Handle(), "ROLLBACK", nullptr, nullptr, nullptr);
  }
  void Commit() {
    connection_.Execute("COMMIT");
    done_ = true;
  }

 private:
  SqliteConnection& connection_;
  bool done_ = false;
};

std::vector<RankedScore> ReadRows(sqlite3_stmt* statement, SqliteConnection& connection,
                                  int64_t firstRank) {
  std::vector<RankedScore> rows;
  for (;;) {
    const int status = sqlite3_step(statement);
    if (status == SQLITE_DONE) break;
    connection.Check(status);
    RankedScore row;
    row.rank = firstRank + static_cast<int64_t>(rows.size());
    auto text = [statement](int column) {
      const auto* bytes = sqlite3_column_text(statement, column);
      return bytes ? std::string(reinterpret_cast<const char*>(bytes),
                                 static_cast<size_t>(sqlite3_column_bytes(statement, column)))
                   : std::string();
    };
    row.name = text(0);
    row.country = text(1);
    row.score = static_cast<uint16_t>(sqlite3_column_int(statement, 2));
    row.submittedAt = sqlite3_column_int64(statement, 3);
    row.id = sqlite3_column_int64(statement, 4);
    row.status = static_cast<ResultStatus>(sqlite3_column_int(statement, 5));
    row.startTicket = sqlite3_column_int(statement, 6) != 0;
    rows.push_back(std::move(row));
  }
  return rows;
}

}  // namespace

SqliteScoreStore::SqliteScoreStore(const std::string& path, size_t connections,
                                   std::chrono::milliseconds callTimeout,
                                   const std::function<void(const std::string&)>& log)
    : path_(path), callTimeout_(callTimeout) {
  struct stat before {};
  const bool existed = ::stat(path.c_str(), &before) == 0;
  try {
    SqliteConnection setup(path, callTimeout);
    if (!existed && log) log("creating a new, empty database at " + path);
    if (sqlite3_db_readonly(setup.Handle(), "main") == 1) {
      throw std::runtime_error("the database " + path +
                               " is read-only: the server must be able to write results to it");
    }
    setup.Execute("PRAGMA journal_mode=WAL");
    setup.Execute("BEGIN IMMEDIATE");
    setup.Execute(CreateScores);
    for (const char* column : {score_queries::StatusColumn, score_queries::StartTicketColumn}) {
      const std::string name(column, std::string_view(column).find(' '));
      if (!setup.HasColumn("scores", name.c_str())) {
        if (existed && log) log("adding the column " + name + " to the results in " + path);
        setup.Execute(("ALTER TABLE scores ADD COLUMN " + std::string(column)).c_str());
      }
    }
    setup.Execute(score_queries::CreateSpentTokens);
    setup.Execute(score_queries::CreateReplays);
    setup.Execute(score_queries::CreateRankIndex);
    setup.Execute(score_queries::CreateProvenRankIndex);
    setup.Execute(score_queries::CreateCountryIndex);
    setup.Execute(score_queries::CreateTokenAgeIndex);
    setup.Execute("COMMIT");
  } catch (const StoreUnavailable& error) {
    throw std::runtime_error("cannot use the database " + path + ": " + error.what());
  }
  struct stat opened {};
  if (::stat(path.c_str(), &opened) != 0) {
    throw std::runtime_error("the database " + path + " vanished while it was opened");
  }
  device_ = opened.st_dev;
  inode_ = opened.st_ino;
  pool_ = std::make_unique<ConnectionPool<SqliteConnection>>(connections, [&path, callTimeout] {
    auto connection = std::make_unique<SqliteConnection>(path, callTimeout);
    // With the write-ahead log a commit needs no sync of its own; a power cut may lose the last
    // moments of results but never corrupts the file.
    connection->Execute("PRAGMA synchronous=NORMAL");
    connection->Execute("PRAGMA wal_autocheckpoint=0");
    return connection;
  });
  checkpointer_ = std::thread([this, path] { CheckpointNowAndThen(path); });
}

SqliteScoreStore::~SqliteScoreStore() {
  {
    std::lock_guard lock(checkpointMutex_);
    stopping_ = true;
  }
  checkpointWake_.notify_all();
  checkpointer_.join();
}

void SqliteScoreStore::CheckpointNowAndThen(const std::string& path) {
  try {
    SqliteConnection connection(path, callTimeout_);
    std::unique_lock lock(checkpointMutex_);
    for (;;) {
      const bool stop =
          checkpointWake_.wait_for(lock, CheckpointInterval, [this] { return stopping_; });
      // PASSIVE copies what it can without waiting for readers or holding up writers.
      sqlite3_wal_checkpoint_v2(connection.Handle(), nullptr, SQLITE_CHECKPOINT_PASSIVE, nullptr,
                                nullptr);
      if (stop) return;
    }
  } catch (const std::exception&) {
    // Without this thread the log only grows until the next start; the results are all kept.
  }
}

void SqliteScoreStore::CheckStillInPlace() const {
  struct stat now {};
  if (::stat(path_.c_str(), &now) != 0 || now.st_dev != device_ || now.st_ino != inode_) {
    throw StoreUnavailable("the database file " + path_ +
                           " was removed or replaced while the server ran; restore it and "
                           "restart the server");
  }
}

StoreOutcome SqliteScoreStore::AddResult(const NewScore& score, const std::string& tokenId,
                                         int64_t tokenIssuedAt, int64_t* storedId) {
  const auto deadline = Deadline();
  CheckStillInPlace();
  auto connection = pool_->Borrow(deadline);
  std::unique_lock writing(writer_, deadline);
  if (!writing) throw StoreUnavailable("SQLite: another write held the database too long");
  SqliteTransaction transaction(*connection);
  sqlite3_stmt* spend = connection->Statement(score_queries::SpendToken);
  connection->Bind(spend, 1, tokenId);
  connection->Bind(spend, 2, tokenIssuedAt);
  if (connection->Run(spend) == 0) return StoreOutcome::TokenAlreadySpent;
  sqlite3_stmt* insert = connection->Statement(score_queries::InsertScore);
  connection->Bind(insert, 1, score.name);
  connection->Bind(insert, 2, score.country);
  connection->Bind(insert, 3, static_cast<int64_t>(score.score));
  connection->Bind(insert, 4, score.submittedAt);
  connection->Bind(insert, 5, static_cast<int64_t>(score.status));
  connection->Check(sqlite3_step(insert));
  const int64_t id = sqlite3_column_int64(insert, 0);
  sqlite3_reset(insert);
  sqlite3_stmt* join = connection->Statement(score_queries::JoinReplay);
  connection->Bind(join, 1, id);
  connection->Bind(join, 2, tokenId);
  connection->Run(join);
  transaction.Commit();
  if (storedId) *storedId = id;
  return StoreOutcome::Stored;
}

std::vector<RankedScore> SqliteScoreStore::Table(const TableQuery& query) {
  const auto deadline = Deadline();
  CheckStillInPlace();
  auto connection = pool_->Borrow(deadline);
  sqlite3_stmt* statement = connection->Statement(
      query.country.empty() ? score_queries::TablePage : score_queries::CountryTablePage);
  const auto [lowest, highest] = StatusRange(query.provenOnly);
  int next = 1;
  connection->Bind(statement, next++, lowest);
  connection->Bind(statement, next++, highest);
  if (!query.country.empty()) connection->Bind(statement, next++, query.country);
  connection->Bind(statement, next++, query.limit);
  connection->Bind(statement, next++, query.offset);
  auto rows = ReadRows(statement, *connection, query.offset + 1);
  sqlite3_reset(statement);
  return rows;
}

int64_t SqliteScoreStore::Count(const std::string& country, bool provenOnly) {
  const auto deadline = Deadline();
  CheckStillInPlace();
  auto connection = pool_->Borrow(deadline);
  sqlite3_stmt* statement = connection->Statement(country.empty() ? score_queries::CountAll
                                                                  : score_queries::CountCountry);
  const auto [lowest, highest] = StatusRange(provenOnly);
  connection->Bind(statement, 1, lowest);
  connection->Bind(statement, 2, highest);
  if (!country.empty()) connection->Bind(statement, 3, country);
  connection->Check(sqlite3_step(statement));
  const int64_t count = sqlite3_column_int64(statement, 0);
  sqlite3_reset(statement);
  return count;
}

void SqliteScoreStore::ForgetTokensIssuedBefore(int64_t before) {
  const auto deadline = Deadline();
  CheckStillInPlace();
  auto connection = pool_->Borrow(deadline);
  std::unique_lock writing(writer_, deadline);
  if (!writing) throw StoreUnavailable("SQLite: another write held the database too long");
  sqlite3_stmt* statement = connection->Statement(score_queries::ForgetTokens);
  connection->Bind(statement, 1, before);
  connection->Run(statement);
  sqlite3_stmt* replays = connection->Statement(score_queries::ForgetUnclaimedReplays);
  connection->Bind(replays, 1, std::span<const uint8_t>());
  connection->Bind(replays, 2, before);
  connection->Run(replays);
}

ReplayOutcome SqliteScoreStore::AddReplay(const std::string& tokenId, uint64_t inputDigest,
                                          std::span<const uint8_t> bytes, int64_t uploadedAt) {
  const auto deadline = Deadline();
  CheckStillInPlace();
  auto connection = pool_->Borrow(deadline);
  std::unique_lock writing(writer_, deadline);
  if (!writing) throw StoreUnavailable("SQLite: another write held the database too long");
  SqliteTransaction transaction(*connection);
  sqlite3_stmt* insert = connection->Statement(score_queries::InsertReplay);
  connection->Bind(insert, 1, tokenId);
  connection->Bind(insert, 2, static_cast<int64_t>(inputDigest));
  connection->Bind(insert, 3, uploadedAt);
  connection->Bind(insert, 4, bytes);
  if (connection->Run(insert) == 0) {
    sqlite3_stmt* taken = connection->Statement(score_queries::ReplayTokenTaken);
    connection->Bind(taken, 1, tokenId);
    const int status = sqlite3_step(taken);
    connection->Check(status);
    sqlite3_reset(taken);
    return status == SQLITE_ROW ? ReplayOutcome::TokenHasReplay : ReplayOutcome::InputStreamKnown;
  }
  transaction.Commit();
  return ReplayOutcome::Stored;
}

namespace {

std::vector<uint8_t> BlobColumn(sqlite3_stmt* statement, int column) {
  const auto* data = static_cast<const uint8_t*>(sqlite3_column_blob(statement, column));
  const auto size = static_cast<size_t>(sqlite3_column_bytes(statement, column));
  return data ? std::vector<uint8_t>(data, data + size) : std::vector<uint8_t>();
}

}  // namespace

std::optional<StoredReplay> SqliteScoreStore::ReplayForToken(const std::string& tokenId) {
  const auto deadline = Deadline();
  CheckStillInPlace();
  auto connection = pool_->Borrow(deadline);
  sqlite3_stmt* statement = connection->Statement(score_queries::ReplayForToken);
  connection->Bind(statement, 1, tokenId);
  const int status = sqlite3_step(statement);
  connection->Check(status);
  std::optional<StoredReplay> replay;
  if (status == SQLITE_ROW) {
    replay = StoredReplay{BlobColumn(statement, 0), sqlite3_column_int64(statement, 1)};
  }
  sqlite3_reset(statement);
  return replay;
}

void SqliteScoreStore::SetStatus(int64_t id, ResultStatus status, bool startTicket) {
  const auto deadline = Deadline();
  CheckStillInPlace();
  auto connection = pool_->Borrow(deadline);
  std::unique_lock writing(writer_, deadline);
  if (!writing) throw StoreUnavailable("SQLite: another write held the database too long");
  sqlite3_stmt* statement = connection->Statement(score_queries::SetStatus);
  connection->Bind(statement, 1, static_cast<int64_t>(status));
  connection->Bind(statement, 2, int64_t{startTicket ? 1 : 0});
  connection->Bind(statement, 3, id);
  connection->Run(statement);
}

std::optional<std::vector<uint8_t>> SqliteScoreStore::ProvenReplay(int64_t id) {
  const auto deadline = Deadline();
  CheckStillInPlace();
  auto connection = pool_->Borrow(deadline);
  sqlite3_stmt* statement = connection->Statement(score_queries::ProvenReplay);
  connection->Bind(statement, 1, id);
  const int status = sqlite3_step(statement);
  connection->Check(status);
  std::optional<std::vector<uint8_t>> bytes;
  if (status == SQLITE_ROW) bytes = BlobColumn(statement, 0);
  sqlite3_reset(statement);
  return bytes;
}
