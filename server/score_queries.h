// The SQL both stores run, word for word: SQLite reads "$1" as the first parameter as PostgreSQL
// does, so one text serves both. Each parameter first appears in ascending order.
#pragma once

namespace score_queries {

// Spent tokens are kept until they expire; results are read best first, ties by their age.
inline constexpr const char* CreateSpentTokens =
    "CREATE TABLE IF NOT EXISTS spent_tokens ("
    " id TEXT PRIMARY KEY,"
    " issued_at BIGINT NOT NULL)";
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
    "INSERT INTO scores (name, country, score, submitted_at) VALUES ($1, $2, $3, $4)";
inline constexpr const char* TablePage =
    "SELECT name, country, score, submitted_at FROM scores"
    " ORDER BY score DESC, submitted_at, id LIMIT $1 OFFSET $2";
inline constexpr const char* CountryTablePage =
    "SELECT name, country, score, submitted_at FROM scores WHERE country = $1"
    " ORDER BY score DESC, submitted_at, id LIMIT $2 OFFSET $3";
inline constexpr const char* CountAll = "SELECT COUNT(*) FROM scores";
inline constexpr const char* CountCountry = "SELECT COUNT(*) FROM scores WHERE country = $1";
inline constexpr const char* ForgetTokens = "DELETE FROM spent_tokens WHERE issued_at < $1";

}  // namespace score_queries
