// ScoreStore: where the world table lives. One interface, two stores (SQLite in one file, or a
// PostgreSQL server shared by several instances), the same schema and the same queries.
#pragma once

#include <chrono>
#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

// The database cannot answer now (gone, hung, full, removed, or no connection free in time): the
// caller answers "try again later" instead of waiting. Every store call ends within its time-out.
struct StoreUnavailable : std::runtime_error {
  using std::runtime_error::runtime_error;
};

// A result that passed every check, with its texts already in UTF-8.
struct NewScore {
  std::string name;
  std::string country;
  uint16_t score = 0;
  int64_t submittedAt = 0;  // Unix seconds, UTC.
};

// One row of the world table as the pages show it.
struct RankedScore {
  int64_t rank = 0;  // 1 for the best score; counted within the country filter when one is set.
  std::string name;
  std::string country;
  uint16_t score = 0;
  int64_t submittedAt = 0;  // Unix seconds, UTC.
};

// Which slice of the table to read: best scores first (ties: the earlier result first).
struct TableQuery {
  std::string country;  // Exact match on the stored country; empty means every country.
  int64_t offset = 0;
  int64_t limit = 100;
};

enum class StoreOutcome {
  Stored,
  TokenAlreadySpent,  // Another request spent the same token first: nothing was stored.
};

// How long one store call may take: a result is answered within two seconds however the
// database fares, and the request around the call needs a little of that too.
inline constexpr std::chrono::milliseconds DefaultStoreTimeout{1500};

// Every call ends within the store's time-out, throwing StoreUnavailable when the database did
// not answer in time or cannot be reached; other faults throw std::runtime_error.
class ScoreStore {
 public:
  virtual ~ScoreStore() = default;

  // Spends the token `tokenId` (issued at `tokenIssuedAt`, Unix seconds) and stores `score`, both
  // in one transaction: of any number of concurrent calls with one token exactly one stores.
  virtual StoreOutcome AddResult(const NewScore& score, const std::string& tokenId,
                                 int64_t tokenIssuedAt) = 0;
  // Rows of the table, ranked.
  virtual std::vector<RankedScore> Table(const TableQuery& query) = 0;
  // The number of stored results, within `country` when it is not empty.
  virtual int64_t Count(const std::string& country) = 0;
  // Forgets spent tokens issued before `before` (they have expired, so they cannot come back).
  virtual void ForgetTokensIssuedBefore(int64_t before) = 0;
};
