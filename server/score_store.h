// ScoreStore: where the world table lives. One interface, two stores (SQLite in one file, or a
// PostgreSQL server shared by several instances), the same schema and the same queries.
#pragma once

#include <chrono>
#include <cstdint>
#include <optional>
#include <span>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

// The database cannot answer now (gone, hung, full, removed, or no connection free in time): the
// caller answers "try again later" instead of waiting. Every store call ends within its time-out.
struct StoreUnavailable : std::runtime_error {
  using std::runtime_error::runtime_error;
};

// What the server knows of how a result came about. The numbers are stored; never renumber.
enum class ResultStatus : int {
  Unproven = 0,  // No recording came with it: an old game, or a request made by hand.
  Pending = 1,   // Its recording waits for the verifier.
  Proven = 2,    // The server re-ran the recording to exactly this score.
  Refused = 3,   // Its recording did not hold up (the log says why).
};

// A result that passed every check, with its texts already in UTF-8.
struct NewScore {
  std::string name;
  std::string country;
  uint16_t score = 0;
  int64_t submittedAt = 0;  // Unix seconds, UTC.
  ResultStatus status = ResultStatus::Unproven;
};

// One row of the world table as the pages show it.
struct RankedScore {
  int64_t rank = 0;  // 1 for the best score; counted within the country filter when one is set.
  std::string name;
  std::string country;
  uint16_t score = 0;
  int64_t submittedAt = 0;  // Unix seconds, UTC.
  int64_t id = 0;           // The result's own number (its recording's, when proven).
  ResultStatus status = ResultStatus::Unproven;
  bool startTicket = false;  // Proven from a recording that carried the server's start ticket.
};

// Which slice of the table to read: best scores first (ties: the earlier result first).
struct TableQuery {
  std::string country;  // Exact match on the stored country; empty means every country.
  int64_t offset = 0;
  int64_t limit = 100;
  bool provenOnly = false;  // Only results whose recording the server re-ran to their score.
};

enum class StoreOutcome {
  Stored,
  TokenAlreadySpent,  // Another request spent the same token first: nothing was stored.
};

enum class ReplayOutcome {
  Stored,
  TokenHasReplay,    // A recording came for this token before: one token, one recording.
  InputStreamKnown,  // The same input stream came before (under any token).
};

// The statuses a table read covers, lowest and highest: Proven alone, or every one.
inline std::pair<int64_t, int64_t> StatusRange(bool provenOnly) {
  return {static_cast<int64_t>(provenOnly ? ResultStatus::Proven : ResultStatus::Unproven),
          static_cast<int64_t>(provenOnly ? ResultStatus::Proven : ResultStatus::Refused)};
}

// An uploaded recording waiting for (or joined to) its result.
struct StoredReplay {
  std::vector<uint8_t> bytes;
  int64_t uploadedAt = 0;  // Unix seconds.
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
  // `storedId` (may be null) receives the new result's id. A recording uploaded for the token is
  // joined to the result.
  virtual StoreOutcome AddResult(const NewScore& score, const std::string& tokenId,
                                 int64_t tokenIssuedAt, int64_t* storedId) = 0;
  StoreOutcome AddResult(const NewScore& score, const std::string& tokenId, int64_t tokenIssuedAt) {
    return AddResult(score, tokenId, tokenIssuedAt, nullptr);
  }
  // Rows of the table, ranked.
  virtual std::vector<RankedScore> Table(const TableQuery& query) = 0;
  // The number of stored results, within `country` when it is not empty.
  virtual int64_t Count(const std::string& country, bool provenOnly) = 0;
  int64_t Count(const std::string& country) { return Count(country, false); }
  // Forgets spent tokens issued before `before` (they have expired, so they cannot come back),
  // and the bytes of recordings uploaded before then that no result claimed. Their input
  // digests stay, so the same input stream is still refused.
  virtual void ForgetTokensIssuedBefore(int64_t before) = 0;

  // Keeps a checked recording for the result the token `tokenId` will bring.
  virtual ReplayOutcome AddReplay(const std::string& tokenId, uint64_t inputDigest,
                                  std::span<const uint8_t> bytes, int64_t uploadedAt) = 0;
  // The recording uploaded for `tokenId` and not yet joined to a result.
  virtual std::optional<StoredReplay> ReplayForToken(const std::string& tokenId) = 0;
  // The verifier's verdict on result `id`.
  virtual void SetStatus(int64_t id, ResultStatus status, bool startTicket) = 0;
  // The recording of result `id` when that result is proven; nothing otherwise.
  virtual std::optional<std::vector<uint8_t>> ProvenReplay(int64_t id) = 0;
};
