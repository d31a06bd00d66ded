// What the stores keep for proof, through the one interface on both stores: each result's status,
// the recordings (one a token, one an input stream, downloadable only when proven), and an older
// server's database taken over in place.
#include <gtest/gtest.h>
#include <libpq-fe.h>
#include <sqlite3.h>

#include <memory>
#include <numeric>

#include "server/postgres_store.h"
#include "server/sqlite_store.h"
#include "tests/server/throwaway_postgres.h"
#include "tests/support/temp_dir.h"

namespace {

// The schema and rows of a server from before recordings, as its code wrote them (the id column
// differs between the stores).
std::vector<std::string> OlderDatabase(const std::string& idColumn) {
  return {
      "CREATE TABLE scores (id " + idColumn +
          " PRIMARY KEY, name TEXT NOT NULL, country TEXT NOT NULL, score INTEGER NOT NULL,"
          " submitted_at BIGINT NOT NULL)",
      "CREATE TABLE spent_tokens (id TEXT PRIMARY KEY, issued_at BIGINT NOT NULL)",
      "CREATE INDEX scores_by_rank ON scores (score DESC, submitted_at, id)",
      "CREATE INDEX scores_by_country ON scores (country, score DESC, submitted_at, id)",
      "CREATE INDEX spent_tokens_by_age ON spent_tokens (issued_at)",
      "INSERT INTO scores (name, country, score, submitted_at) VALUES ('old best', 'Norge', 900, "
      "5)",
      "INSERT INTO scores (name, country, score, submitted_at) VALUES ('old low', '', 10, 6)",
      "INSERT INTO spent_tokens (id, issued_at) VALUES ('spent-before', 4)",
  };
}

std::vector<uint8_t> Bytes(size_t count, uint8_t first) {
  std::vector<uint8_t> bytes(count);
  std::iota(bytes.begin(), bytes.end(), first);  // Every byte value, zero included.
  return bytes;
}

class ProofStoreTest : public ::testing::TestWithParam<std::string> {
 protected:
  void SetUp() override {
    if (GetParam() == "PostgreSQL") {
      std::string whyNot;
      location_ = FreshPostgresDatabase(whyNot);
      if (location_.empty()) GTEST_SKIP() << "PostgreSQL store not tested: " << whyNot;
    } else {
      location_ = (dir_.path() / "scores.sqlite").string();
    }
  }

  std::unique_ptr<ScoreStore> Open() {
    if (GetParam() == "PostgreSQL") return std::make_unique<PostgresScoreStore>(location_, 2);
    return std::make_unique<SqliteScoreStore>(location_, 2);
  }

  // Runs `statements` on the database directly, as an older server would have.
  void RunDirectly(const std::vector<std::string>& statements) {
    if (GetParam() == "PostgreSQL") {
      PGconn* connection = PQconnectdb(location_.c_str());
      ASSERT_EQ(PQstatus(connection), CONNECTION_OK) << PQerrorMessage(connection);
      for (const auto& sql : statements) {
        PGresult* result = PQexec(connection, sql.c_str());
        EXPECT_EQ(PQresultStatus(result), PGRES_COMMAND_OK) << sql << PQerrorMessage(connection);
        PQclear(result);
      }
      PQfinish(connection);
    } else {
      sqlite3* db = nullptr;
      ASSERT_EQ(sqlite3_open(location_.c_str(), &db), SQLITE_OK);
      for (const auto& sql : statements) {
        EXPECT_EQ(sqlite3_exec(db, sql.c_str(), nullptr, nullptr, nullptr), SQLITE_OK)
            << sql << sqlite3_errmsg(db);
      }
      sqlite3_close(db);
    }
  }

  TempDir dir_;
  std::string location_;
};

TEST_P(ProofStoreTest, TakesOverAnOlderDatabaseInPlaceWithEveryResultUnproven) {
  RunDirectly(OlderDatabase(GetParam() == "PostgreSQL" ? "BIGINT GENERATED ALWAYS AS IDENTITY"
                                                       : "INTEGER"));
  auto store = Open();
  const auto rows = store->Table({"", 0, 10});
  ASSERT_EQ(rows.size(), 2u);
  EXPECT_EQ(rows[0].name, "old best");
  EXPECT_EQ(rows[0].country, "Norge");
  EXPECT_EQ(rows[0].score, 900);
  EXPECT_EQ(rows[0].status, ResultStatus::Unproven);
  EXPECT_EQ(rows[1].name, "old low");
  EXPECT_EQ(store->Count("", true), 0);
  EXPECT_EQ(store->AddResult({"again", "", 1, 7}, "spent-before", 4),
            StoreOutcome::TokenAlreadySpent);

  // New results and recordings work in it, and a second start finds it as the first left it.
  int64_t id = 0;
  ASSERT_EQ(store->AddReplay("t", 1, Bytes(3, 1), 8), ReplayOutcome::Stored);
  ASSERT_EQ(store->AddResult({"new", "", 500, 8, ResultStatus::Pending}, "t", 8, &id),
            StoreOutcome::Stored);
  store->SetStatus(id, ResultStatus::Proven, true);
  store.reset();
  store = Open();
  EXPECT_EQ(store->Count(""), 3);
  const auto proven = store->Table({"", 0, 10, true});
  ASSERT_EQ(proven.size(), 1u);
  EXPECT_EQ(proven[0].name, "new");
  EXPECT_TRUE(proven[0].startTicket);
}

TEST_P(ProofStoreTest, RanksProvenResultsAmongThemselvesAndMarksTheRest) {
  auto store = Open();
  struct Case {
    const char* name;
    uint16_t score;
    ResultStatus status;
  };
  int64_t token = 0;
  for (const Case& c :
       {Case{"forger", 9000, ResultStatus::Unproven}, Case{"cheat", 8000, ResultStatus::Refused},
        Case{"waiting", 7000, ResultStatus::Pending}, Case{"honest", 500, ResultStatus::Proven},
        Case{"modest", 100, ResultStatus::Proven}}) {
    int64_t id = 0;
    ASSERT_EQ(store->AddResult({c.name, "NO", c.score, 1, ResultStatus::Pending},
                               std::to_string(++token), 1, &id),
              StoreOutcome::Stored);
    store->SetStatus(id, c.status, false);
  }
  const auto proven = store->Table({"", 0, 10, true});
  ASSERT_EQ(proven.size(), 2u);
  EXPECT_EQ(proven[0].name, "honest");
  EXPECT_EQ(proven[0].rank, 1);
  EXPECT_EQ(proven[1].name, "modest");
  EXPECT_EQ(store->Count("", true), 2);
  EXPECT_EQ(store->Count("NO", true), 2);
  EXPECT_EQ(store->Table({"NO", 1, 10, true}).size(), 1u);

  const auto all = store->Table({"", 0, 10});
  ASSERT_EQ(all.size(), 5u);
  EXPECT_EQ(all[0].status, ResultStatus::Unproven);
  EXPECT_EQ(all[1].status, ResultStatus::Refused);
  EXPECT_EQ(all[2].status, ResultStatus::Pending);
  EXPECT_EQ(all[3].status, ResultStatus::Proven);
  EXPECT_EQ(store->Count(""), 5);
}

TEST_P(ProofStoreTest, ARecordingIsBoundToOneTokenAndOneInputStream) {
  auto store = Open();
  const auto recording = Bytes(600, 0);
  EXPECT_EQ(store->AddReplay("token-a", 77, recording, 10), ReplayOutcome::Stored);
  EXPECT_EQ(store->AddReplay("token-a", 78, Bytes(5, 9), 10), ReplayOutcome::TokenHasReplay);
  EXPECT_EQ(store->AddReplay("token-b", 77, recording, 10), ReplayOutcome::InputStreamKnown);
  // A digest with its top bit set is kept as it is.
  EXPECT_EQ(store->AddReplay("token-c", 0xFEDCBA9876543210u, Bytes(1, 0), 10),
            ReplayOutcome::Stored);
  EXPECT_EQ(store->AddReplay("token-d", 0xFEDCBA9876543210u, Bytes(1, 0), 10),
            ReplayOutcome::InputStreamKnown);

  const auto waiting = store->ReplayForToken("token-a");
  ASSERT_TRUE(waiting);
  EXPECT_EQ(waiting->bytes, recording);
  EXPECT_EQ(waiting->uploadedAt, 10);
  EXPECT_FALSE(store->ReplayForToken("token-b"));

  int64_t id = 0;
  ASSERT_EQ(store->AddResult({"ada", "", 42, 11, ResultStatus::Pending}, "token-a", 10, &id),
            StoreOutcome::Stored);
  // Joined to its result, it serves no second one, and is given out only once proven.
  EXPECT_FALSE(store->ReplayForToken("token-a"));
  EXPECT_FALSE(store->ProvenReplay(id));
  store->SetStatus(id, ResultStatus::Refused, false);
  EXPECT_FALSE(store->ProvenReplay(id));
  store->SetStatus(id, ResultStatus::Proven, false);
  const auto download = store->ProvenReplay(id);
  ASSERT_TRUE(download);
  EXPECT_EQ(*download, recording);
  EXPECT_FALSE(store->ProvenReplay(id + 1000));
}

TEST_P(ProofStoreTest, AnUnclaimedRecordingLosesItsBytesWithItsTokenButNotItsDigest) {
  auto store = Open();
  ASSERT_EQ(store->AddReplay("old", 1, Bytes(10, 0), 100), ReplayOutcome::Stored);
  ASSERT_EQ(store->AddReplay("claimed", 2, Bytes(10, 5), 100), ReplayOutcome::Stored);
  int64_t id = 0;
  ASSERT_EQ(store->AddResult({"b", "", 1, 100, ResultStatus::Pending}, "claimed", 100, &id),
            StoreOutcome::Stored);
  store->SetStatus(id, ResultStatus::Proven, true);
  store->ForgetTokensIssuedBefore(150);
  const auto old = store->ReplayForToken("old");
  ASSERT_TRUE(old);
  EXPECT_TRUE(old->bytes.empty());
  EXPECT_EQ(store->AddReplay("new", 1, Bytes(10, 0), 200), ReplayOutcome::InputStreamKnown);
  EXPECT_EQ(store->ProvenReplay(id), Bytes(10, 5));
}

INSTANTIATE_TEST_SUITE_P(BothStores, ProofStoreTest, ::testing::Values("SQLite", "PostgreSQL"),
                         [](const auto& store) { return store.param; });

}  // namespace
