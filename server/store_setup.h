// Opening the store and the secret at start, with what an operator must hear about them.
#pragma once

#include <functional>
#include <memory>
#include <string>

#include "server/score_store.h"
#include "server/server_options.h"

using StartLog = std::function<void(const std::string&)>;

struct OpenedStore {
  std::unique_ptr<ScoreStore> store;
  std::string name;  // For the log: "SQLite <path>" or "PostgreSQL".
};

// The store the options name, with `connections` connections. An SQLite database that is missing
// while its own secret file (the default one beside it) is there was lost or moved: that start is
// refused rather than beginning an empty table. Throws std::runtime_error with the reason.
OpenedStore OpenScoreStore(const ServerOptions& options, size_t connections, const StartLog& log);
