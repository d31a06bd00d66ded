// The checks at start that keep a lost database from being replaced by an empty one unnoticed.
#include "server/store_setup.h"

#include <filesystem>
#include <stdexcept>

#include "server/postgres_store.h"
#include "server/sqlite_store.h"

OpenedStore OpenScoreStore(const ServerOptions& options, size_t connections, const StartLog& log) {
  if (!options.postgres.empty()) {
    return {std::make_unique<PostgresScoreStore>(options.postgres, connections, DefaultStoreTimeout,
                                                 log),
            "PostgreSQL"};
  }
  const std::filesystem::path database = options.sqlitePath;
  std::error_code error;
  const bool ownSecret = options.secretFile == database.string() + ".secret";
  if (ownSecret && !std::filesystem::exists(database, error) &&
      std::filesystem::exists(options.secretFile, error)) {
    throw std::runtime_error(
        "the database " + database.string() + " is missing but its secret " +
        options.secretFile.string() +
        " is there: the database was moved or deleted. Put it back, or remove the secret file "
        "too to start again with an empty table");
  }
  return {
      std::make_unique<SqliteScoreStore>(options.sqlitePath, connections, DefaultStoreTimeout, log),
      "SQLite " + options.sqlitePath};
}
