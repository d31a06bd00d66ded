// Both stores through the one interface, with the same cases: SQLite in a fresh file and
// PostgreSQL in a fresh database of a throwaway server.
#include "server/score_store.h"

#include <gtest/gtest.h>

#include <atomic>
#include <functional>
#include <memory>
#include <thread>

#include "server/postgres_store.h"
#include "server/sqlite_store.h"
#include "tests/server/throwaway_postgres.h"
#include "tests/support/temp_dir.h"

namespace {

constexpr size_t Connections = 4;

class ScoreStoreTest : public ::testing::TestWithParam<std::string> {
 protected:
  void SetUp() override {
    if (GetParam() == "PostgreSQL") {
      std::string whyNot;
      location_ = FreshPostgresDatabase(whyNot);
      if (location_.empty()) GTEST_SKIP() << "PostgreSQL store not tested: " << whyNot;
    } else {
      location_ = (dir_.path() / "scores.sqlite").string();
    }
    store_ = Open();
  }

  // Opens the same database again, as a restarted server or a second instance would.
  std::unique_ptr<ScoreStore> Open() {
    if (GetParam() == "PostgreSQL") {
      return std::make_unique<PostgresScoreStore>(location_, Connections);
    }
    return std::make_unique<SqliteScoreStore>(location_, Connections);
  }

  void Add(const std::string& name, uint16_t score, int64_t when,
           const std::string& country = "Norway") {
    ASSERT_EQ(
        store_->AddResult({name, country, score, when}, "token-" + std::to_string(++tokens_), when),
        StoreOutcome::Stored);
  }

  static std::vector<std::string> Names(const std::vector<RankedScore>& rows) {
    std::vector<std::string> names;
    for (const auto& row : rows) names.push_back(std::to_string(row.rank) + ":" + row.name);
    return names;
  }

  TempDir dir_;
  std::string location_;
  std::unique_ptr<ScoreStore> store_;
  int tokens_ = 0;
};

TEST_P(ScoreStoreTest, RanksBestFirstAndTheEarlierOfATie) {
  Add("low", 10, 1000);
  Add("late tie", 500, 3000);
  Add("best", 65535, 2000);
  Add("early tie", 500, 1500);
  Add("zero", 0, 500);

  EXPECT_EQ(Names(store_->Table({"", 0, 100})),
            (std::vector<std::string>{"1:best", "2:early tie", "3:late tie", "4:low", "5:zero"}));
  EXPECT_EQ(Names(store_->Table({"", 2, 2})), (std::vector<std::string>{"3:late tie", "4:low"}));
  EXPECT_TRUE(store_->Table({"", 10, 100}).empty());
  EXPECT_EQ(store_->Count(""), 5);

  const auto rows = store_->Table({"", 0, 1});
  ASSERT_EQ(rows.size(), 1u);
  EXPECT_EQ(rows[0].score, 65535);
  EXPECT_EQ(rows[0].country, "Norway");
  EXPECT_EQ(rows[0].submittedAt, 2000);
}

TEST_P(ScoreStoreTest, FiltersByCountryAndRanksWithinIt) {
  Add("a", 300, 1, "Norway");
  Add("b", 200, 2, "Sverige");
  Add("c", 100, 3, "Norway");
  Add("d", 400, 4, "norway");  // another spelling is another country

  EXPECT_EQ(Names(store_->Table({"Norway", 0, 100})), (std::vector<std::string>{"1:a", "2:c"}));
  EXPECT_EQ(store_->Count("Norway"), 2);
  EXPECT_EQ(store_->Count("Danmark"), 0);
  EXPECT_TRUE(store_->Table({"Danmark", 0, 100}).empty());
}

TEST_P(ScoreStoreTest, KeepsTextsAsTheyCame) {
  const std::string name = "J\xc3\xb8rgen";
  const std::string markup = "<script>alert(1)</script>'\"&";
  Add(name, 1, 1, markup);
  const auto rows = store_->Table({"", 0, 10});
  ASSERT_EQ(rows.size(), 1u);
  EXPECT_EQ(rows[0].name, name);
  EXPECT_EQ(rows[0].country, markup);
  EXPECT_EQ(store_->Count(markup), 1);
}

TEST_P(ScoreStoreTest, SpendsATokenOnce) {
  EXPECT_EQ(store_->AddResult({"first", "", 1, 10}, "one", 10), StoreOutcome::Stored);
  EXPECT_EQ(store_->AddResult({"again", "", 2, 11}, "one", 10), StoreOutcome::TokenAlreadySpent);
  EXPECT_EQ(store_->AddResult({"other", "", 3, 12}, "two", 10), StoreOutcome::Stored);
  EXPECT_EQ(Names(store_->Table({"", 0, 10})), (std::vector<std::string>{"1:other", "2:first"}));
}

TEST_P(ScoreStoreTest, ConcurrentUsesOfOneTokenStoreOneResult) {
  constexpr int Threads = 12;
  std::atomic<int> stored{0};
  std::atomic<int> refused{0};
  std::atomic<bool> go{false};
  std::vector<std::thread> threads;
  for (int i = 0; i < Threads; ++i) {
    threads.emplace_back([&, i] {
      while (!go) std::this_thread::yield();
      const auto outcome =
          store_->AddResult({"racer" + std::to_string(i), "", 7, 100}, "contested", 100);
      (outcome == StoreOutcome::Stored ? stored : refused)++;
    });
  }
  go = true;
  for (auto& thread : threads) thread.join();
  EXPECT_EQ(stored, 1);
  EXPECT_EQ(refused, Threads - 1);
  EXPECT_EQ(store_->Count(""), 1);
}

TEST_P(ScoreStoreTest, ForgetsOnlyTokensIssuedBeforeTheGivenTime) {
  ASSERT_EQ(store_->AddResult({"a", "", 1, 100}, "old", 100), StoreOutcome::Stored);
  ASSERT_EQ(store_->AddResult({"b", "", 1, 200}, "new", 200), StoreOutcome::Stored);
  store_->ForgetTokensIssuedBefore(150);
  EXPECT_EQ(store_->AddResult({"c", "", 1, 300}, "old", 100), StoreOutcome::Stored);
  EXPECT_EQ(store_->AddResult({"d", "", 1, 300}, "new", 200), StoreOutcome::TokenAlreadySpent);
}

TEST_P(ScoreStoreTest, AReopenedStoreHasEverythingAndItsSpentTokens) {
  Add("kept", 42, 1);
  ASSERT_EQ(store_->AddResult({"x", "", 1, 1}, "spent", 1), StoreOutcome::Stored);
  store_.reset();
  store_ = Open();
  EXPECT_EQ(Names(store_->Table({"", 0, 10})), (std::vector<std::string>{"1:kept", "2:x"}));
  EXPECT_EQ(store_->AddResult({"y", "", 1, 2}, "spent", 1), StoreOutcome::TokenAlreadySpent);
}

INSTANTIATE_TEST_SUITE_P(BothStores, ScoreStoreTest, ::testing::Values("SQLite", "PostgreSQL"),
                         [](const auto& store) { return store.param; });

TEST(SqliteScoreStore, RefusesAFileThatIsNoDatabase) {
  TempDir dir;
  const auto path = dir.path() / "not.sqlite";
  {
    std::FILE* file = std::fopen(path.c_str(), "w");
    std::fputs("this is a text file, not a database, and long enough to have a header\n", file);
    std::fclose(file);
  }
  EXPECT_THROW(SqliteScoreStore(path.string(), 1), std::runtime_error);
  EXPECT_THROW(SqliteScoreStore((dir.path() / "no/such/folder/x.sqlite").string(), 1),
               std::runtime_error);
}

}  // namespace
