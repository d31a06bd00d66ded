// The stores and the service when the database stops answering or goes away: every call ends
// within its time-out, results are answered "unavailable", the log hears once each way, and the
// store finds its feet again when the database is back.
#include <gtest/gtest.h>
#include <libpq-fe.h>
#include <signal.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <future>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "protocol/result_encoding.h"
#include "protocol/result_payload.h"
#include "server/postgres_store.h"
#include "server/score_service.h"
#include "server/sqlite_store.h"
#include "tests/server/throwaway_postgres.h"
#include "tests/support/temp_dir.h"

namespace {

using namespace std::chrono_literals;

constexpr int64_t Now = 1'800'000'000;
constexpr const char* Secret = "a secret of the outage tests, 32+ bytes";
// Far above the store's time-out and far below "hangs": a bound that only catches a hang.
constexpr auto HangBound = 4s;

// The lines the service logs, kept for the test to read.
struct CollectedLog {
  std::mutex mutex;
  std::vector<std::string> lines;

  std::function<void(const std::string&)> Sink() {
    return [this](const std::string& line) {
      std::lock_guard lock(mutex);
      lines.push_back(line);
    };
  }
  int Count(const std::string& part) {
    std::lock_guard lock(mutex);
    int count = 0;
    for (const auto& line : lines) count += line.find(part) != std::string::npos ? 1 : 0;
    return count;
  }
};

// A service over `store` whose results the test sends as the game would.
class ServiceUnderTest {
 public:
  ServiceUnderTest(ScoreStore& store, CollectedLog& log)
      : service_(store, TokenSigner(Secret), ServiceSettings{'S', 0, 0, log.Sink()},
                 [] { return Now; }) {}

  ServiceReply Submit(const std::string& name) {
    const std::string token = HandshakeServerValue(service_.Handshake("192.0.2.1").body);
    return service_.SubmitResult("192.0.2.1",
                                 EncodeResult(BuildResultPayload(name, 100, 'S', token, "N")));
  }
  ScoreService& Service() { return service_; }

 private:
  ScoreService service_;
};

// The time `call` took.
template <typename Call>
std::chrono::steady_clock::duration Timed(Call call) {
  const auto start = std::chrono::steady_clock::now();
  call();
  return std::chrono::steady_clock::now() - start;
}

// SIGCONT at the end of a test whatever happened in it, so a failed check never leaves the
// shared throwaway server stopped for the tests after it.
struct ResumePostgres {
  ~ResumePostgres() { SignalThrowawayPostgres(SIGCONT); }
};

TEST(DatabaseOutage, AHungPostgresCostsEachCallItsTimeOutAndIsLoggedOnceEachWay) {
  std::string whyNot;
  const std::string conninfo = FreshPostgresDatabase(whyNot);
  if (conninfo.empty()) GTEST_SKIP() << "PostgreSQL not tested: " << whyNot;
  PostgresScoreStore store(conninfo, 2, 700ms);
  CollectedLog log;
  ServiceUnderTest service(store, log);
  ASSERT_EQ(service.Submit("before").kind, ReplyKind::Ok);

  {
    ResumePostgres resume;
    ASSERT_TRUE(SignalThrowawayPostgres(SIGSTOP));
    // More calls at once than connections: the later ones wait for a connection only until their
    // deadline.
    std::vector<std::future<std::pair<ServiceReply, std::chrono::steady_clock::duration>>> calls;
    for (int i = 0; i < 4; ++i) {
      calls.push_back(std::async(std::launch::async, [&service] {
        ServiceReply reply;
        const auto took = Timed([&] { reply = service.Submit("during"); });
        return std::make_pair(reply, took);
      }));
    }
    for (auto& call : calls) {
      const auto [reply, took] = call.get();
      EXPECT_LT(took, HangBound);
      EXPECT_EQ(reply.kind, ReplyKind::Unavailable) << reply.note;
      EXPECT_NE(reply.note.find("database unavailable"), std::string::npos) << reply.note;
    }
    EXPECT_LT(
        Timed([&] { EXPECT_THROW(service.Service().TablePage("", 1, 10), StoreUnavailable); }),
        HangBound);
    // The handshake never asks the database.
    EXPECT_LT(Timed([&] { EXPECT_EQ(service.Service().Handshake("x").kind, ReplyKind::Ok); }),
              100ms);
  }
  // Back: the dropped connections are made again on their next use.
  ServiceReply after{ReplyKind::Unavailable, {}, {}};
  for (int attempt = 0; attempt < 20 && after.kind != ReplyKind::Ok; ++attempt) {
    after = service.Submit("after");
    if (after.kind != ReplyKind::Ok) std::this_thread::sleep_for(250ms);
  }
  EXPECT_EQ(after.kind, ReplyKind::Ok) << after.note;
  const auto rows = service.Service().TablePage("", 1, 10).rows;
  std::vector<std::string> names;
  for (const auto& row : rows) names.push_back(row.name);
  EXPECT_NE(std::find(names.begin(), names.end(), "before"), names.end());
  EXPECT_NE(std::find(names.begin(), names.end(), "after"), names.end())
      << ::testing::PrintToString(names);
  EXPECT_EQ(log.Count("DATABASE UNAVAILABLE"), 1);
  EXPECT_EQ(log.Count("available again"), 1);
}

TEST(DatabaseOutage, PostgresConnectionsClosedByTheServerAreMadeAgain) {
  std::string whyNot;
  const std::string conninfo = FreshPostgresDatabase(whyNot);
  if (conninfo.empty()) GTEST_SKIP() << "PostgreSQL not tested: " << whyNot;
  PostgresScoreStore store(conninfo, 3, 1000ms);
  ASSERT_EQ(store.AddResult({"first", "", 1, Now}, "t1", Now), StoreOutcome::Stored);

  // As an administrator's kill or a restart of the server does to every connection.
  PGconn* admin = PQconnectdb(conninfo.c_str());
  PGresult* killed = PQexec(admin,
                            "SELECT pg_terminate_backend(pid) FROM pg_stat_activity"
                            " WHERE datname = current_database() AND pid <> pg_backend_pid()");
  EXPECT_EQ(PQresultStatus(killed), PGRES_TUPLES_OK) << PQerrorMessage(admin);
  EXPECT_GE(PQntuples(killed), 3);
  PQclear(killed);
  PQfinish(admin);
  std::this_thread::sleep_for(200ms);

  for (int i = 0; i < 3; ++i) {
    EXPECT_EQ(store.AddResult({"again", "", 1, Now}, "t" + std::to_string(i + 2), Now),
              StoreOutcome::Stored);
  }
  EXPECT_EQ(store.Count(""), 4);
}

TEST(DatabaseOutage, AnSqliteDatabaseWhoseFolderIsRemovedRefusesResultsLoudly) {
  TempDir dir;
  const auto folder = dir.path() / "data";
  std::filesystem::create_directories(folder);
  CollectedLog log;
  SqliteScoreStore store((folder / "scores.sqlite").string(), 2, 1000ms, log.Sink());
  EXPECT_EQ(log.Count("creating a new, empty database at"), 1);
  ServiceUnderTest service(store, log);
  ASSERT_EQ(service.Submit("kept").kind, ReplyKind::Ok);

  std::filesystem::remove_all(folder);
  // The open file would take writes nobody could ever read again.
  const ServiceReply reply = service.Submit("lost");
  EXPECT_EQ(reply.kind, ReplyKind::Unavailable);
  EXPECT_NE(reply.note.find("was removed or replaced"), std::string::npos) << reply.note;
  EXPECT_EQ(service.Submit("lost too").kind, ReplyKind::Unavailable);
  EXPECT_THROW(service.Service().TablePage("", 1, 10), StoreUnavailable);
  EXPECT_EQ(log.Count("DATABASE UNAVAILABLE"), 1);

  // A new file in its place is another database: still refused until a restart opens it.
  std::filesystem::create_directories(folder);
  { SqliteScoreStore replacement((folder / "scores.sqlite").string(), 1); }
  EXPECT_EQ(service.Submit("replaced").kind, ReplyKind::Unavailable);
}

}  // namespace
