// The SQL both stores run, word for word: SQLite reads "$1" as the first parameter as PostgreSQL
// does, so one text serves both. Each parameter first appears in ascending order.
#pragma once

namespace score_queries {

// Spent tokens are kept until they expire; results are read best first, ties by their age.
inline constexpr const char* CreateSpentTokens =
    "CREATE TABLE IF NOT EXISTS spent_tokens ("
    " id TEXT PRIMARY KEY,"
    " issued_at BIGINT NOT NULL)";
// Recordings: one a token, one an input stream. A recording stays after its result is stored, so
// a proven result's recording can be downloaded; the bytes of one no result claimed are dropped
// when its token expires, its digest kept.
inline constexpr const char* CreateReplays =
    "CREATE TABLE IF NOT EXISTS replays ("
    " token_id TEXT PRIMARY KEY,"
    " input_digest BIGINT NOT NULL UNIQUE,"
    " uploaded_at BIGINT NOT NULL,"
    " score_id BIGINT UNIQUE,"
    " bytes BYTEA NOT NULL)";
// Results stored before recordings existed are unproven: the column's default says so. A store
// adds these to a table that lacks them (a database made by an older server), every start.
inline constexpr const char* StatusColumn = "status INTEGER NOT NULL DEFAULT 0";
inline constexpr const char* StartTicketColumn = "start_ticket INTEGER NOT NULL DEFAULT 0";
inline constexpr const char* CreateProvenRankIndex =
    "CREATE INDEX IF NOT EXISTS scores_by_status_rank ON scores (status, score DESC, "
    "submitted_at, id)";
inline constexpr const char* CreateRankIndex =
    "CREATE INDEX IF NOT EXISTS scores_by_rank ON scores (score DESC, submitted_at, id)";
inline constexpr const char* CreateCountryIndex =
    "CREATE INDEX IF NOT EXISTS scores_by_country ON scores (country, score DESC, submitted_at, "
    "id)";
inline constexpr const char* CreateTokenAgeIndex =
    "CREATE INDEX IF NOT EXISTS spent_tokens_by_age ON spent_tokens (issued_at)";

inline constexpr const char* SpendToken =
    "INSERT INTO spent_tokens (id, issued_at) VALUES ($1, $2) ON CONFLICT DO NOTHING";
inline constexpr const char* InsertScore =
    "INSERT INTO scores (name, country, score, submitted_at, status) VALUES ($1, $2, $3, $4, $5)"
    " RETURNING id";
inline constexpr const char* JoinReplay =
    "UPDATE replays SET score_id = $1 WHERE token_id = $2 AND score_id IS NULL";
// The table reads: $1 is the lowest status shown (Proven for proven only, else Unproven), so the
// proven page and the full one share their text and their index.
#define SKARVEL_SCORE_COLUMNS "SELECT name, country, score, submitted_at, id, status, start_ticket"
inline constexpr const char* TablePage = SKARVEL_SCORE_COLUMNS
    " FROM scores WHERE status >= $1 AND status <= $2"
    " ORDER BY score DESC, submitted_at, id LIMIT $3 OFFSET $4";
inline constexpr const char* CountryTablePage = SKARVEL_SCORE_COLUMNS
    " FROM scores WHERE status >= $1 AND status <= $2 AND country = $3"
    " ORDER BY score DESC, submitted_at, id LIMIT $4 OFFSET $5";
#undef SKARVEL_SCORE_COLUMNS
inline constexpr const char* CountAll =
    "SELECT COUNT(*) FROM scores WHERE status >= $1 AND status <= $2";
inline constexpr const char* CountCountry =
    "SELECT COUNT(*) FROM scores WHERE status >= $1 AND status <= $2 AND country = $3";
inline constexpr const char* ForgetTokens = "DELETE FROM spent_tokens WHERE issued_at < $1";
inline constexpr const char* ForgetUnclaimedReplays =
    "UPDATE replays SET bytes = $1 WHERE score_id IS NULL AND uploaded_at < $2";
inline constexpr const char* InsertReplay =
    "INSERT INTO replays (token_id, input_digest, uploaded_at, bytes) VALUES ($1, $2, $3, $4)"
    " ON CONFLICT DO NOTHING";
inline constexpr const char* ReplayTokenTaken = "SELECT 1 FROM replays WHERE token_id = $1";
inline constexpr const char* ReplayForToken =
    "SELECT bytes, uploaded_at FROM replays WHERE token_id = $1 AND score_id IS NULL";
inline constexpr const char* SetStatus =
    "UPDATE scores SET status = $1, start_ticket = $2 WHERE id = $3";
inline constexpr const char* ProvenReplay =
    "SELECT replays.bytes FROM replays JOIN scores ON scores.id = replays.score_id"
    " WHERE replays.score_id = $1 AND scores.status = 2";

}  // namespace score_queries
