// The HTTP side of a database in trouble: the store (the real SQLite store behind a switch the
// test turns) can fail as unavailable or hang. Handshakes and files never wait for it, a table
// page it cannot make is served as last made, and what cannot be answered gets 503 at once.
#include <gtest/gtest.h>
#include <httplib.h>

#include <atomic>
#include <condition_variable>
#include <mutex>
#include <thread>

#include "protocol/result_encoding.h"
#include "protocol/result_payload.h"
#include "server/score_http_server.h"
#include "server/sqlite_store.h"
#include "tests/support/temp_dir.h"

namespace {

using namespace std::chrono_literals;

class TTroubledStore : public ScoreStore {
 public:
  enum class TMode { Fine, Unavailable, Hung };

  explicit TTroubledStore(const std::filesystem::path& file) : real_(file.string(), 4) {}

  void Set(TMode mode) {
    std::lock_guard lock(mutex_);
    mode_ = mode;
    changed_.notify_all();
  }
  // Whether `count` reads of a table page (its count or its rows, which only the database
  // workers make) are held by the hang. The service's token sweep, which runs at its start on a
  // thread of its own and may meet the hang too, is not counted: it holds no worker.
  bool AwaitHeldTableReads(int count) {
    std::unique_lock lock(mutex_);
    return changed_.wait_for(lock, std::chrono::seconds(30),
                             [&] { return heldTableReads_ >= count; });
  }

  using ScoreStore::AddResult;
  StoreOutcome AddResult(const NewScore& score, const std::string& tokenId, int64_t tokenIssuedAt,
                         int64_t* storedId) override {
    Trouble(TCall::Other);
    return real_.AddResult(score, tokenId, tokenIssuedAt, storedId);
  }
  std::vector<RankedScore> Table(const TableQuery& query) override {
    Trouble(TCall::TableRead);
    return real_.Table(query);
  }
  using ScoreStore::Count;
  int64_t Count(const std::string& country, bool provenOnly) override {
    Trouble(TCall::TableRead);
    return real_.Count(country, provenOnly);
  }
  void ForgetTokensIssuedBefore(int64_t before) override {
    Trouble(TCall::Other);
    real_.ForgetTokensIssuedBefore(before);
  }
  ReplayOutcome AddReplay(const std::string& tokenId, uint64_t inputDigest,
                          std::span<const uint8_t> bytes, int64_t uploadedAt) override {
    Trouble(TCall::Other);
    return real_.AddReplay(tokenId, inputDigest, bytes, uploadedAt);
  }
  std::optional<StoredReplay> ReplayForToken(const std::string& tokenId) override {
    Trouble(TCall::Other);
    return real_.ReplayForToken(tokenId);
  }
  void SetStatus(int64_t id, ResultStatus status, bool startTicket) override {
    Trouble(TCall::Other);
    real_.SetStatus(id, status, startTicket);
  }
  std::optional<std::vector<uint8_t>> ProvenReplay(int64_t id) override {
    Trouble(TCall::Other);
    return real_.ProvenReplay(id);
  }

 private:
  enum class TCall { TableRead, Other };

  void Trouble(TCall call) {
    std::unique_lock lock(mutex_);
    const int counted = call == TCall::TableRead ? 1 : 0;
    heldTableReads_ += counted;
    changed_.notify_all();
    changed_.wait(lock, [this] { return mode_ != TMode::Hung; });
    heldTableReads_ -= counted;
    if (mode_ == TMode::Unavailable) throw StoreUnavailable("the test made the store unavailable");
  }

  SqliteScoreStore real_;
  std::mutex mutex_;
  std::condition_variable changed_;
  TMode mode_ = TMode::Fine;
  int heldTableReads_ = 0;
};

ServiceSettings NoRateLimits() {
  ServiceSettings settings;
  settings.resultsPerMinute = 0;
  settings.handshakesPerMinute = 0;
  return settings;
}

class TTroubledServer {
 public:
  explicit TTroubledServer(const ConnectionLimits& limits)
      : service_(store_, TokenSigner("a secret of the tests, long enough"), NoRateLimits()),
        http_(service_, limits, dir_.path() / "web", nullptr) {
    port_ = http_.Bind("127.0.0.1", 0);
    thread_ = std::thread([this] { http_.Run(); });
    while (!http_.IsRunning()) std::this_thread::sleep_for(1ms);
  }
  ~TTroubledServer() {
    store_.Set(TTroubledStore::TMode::Fine);
    http_.Stop();
    thread_.join();
  }

  TTroubledStore& Store() { return store_; }
  std::pair<int, std::string> Get(const std::string& target) {
    httplib::Client client("127.0.0.1", port_);
    client.set_read_timeout(10, 0);
    const auto result = client.Get(target.c_str());
    if (!result) return {-1, {}};
    return {result->status, result->body};
  }
  std::pair<int, std::string> SendResult(std::string_view name) {
    const std::string token = HandshakeServerValue(Get(HandshakeTarget).second);
    return Get("/cgi/version.pl?hs&prg=Skarvel&inf=" +
               EncodeResult(BuildResultPayload(name, 100, 'S', token, "Norway")));
  }

  static constexpr const char* HandshakeTarget = "/cgi/version.pl?version&prg=Skarvel";
  // Every result, proven or not: the results these tests send carry no recording.
  static constexpr const char* TableTarget = "/cgi/version.pl?prg=Skarvel&show&type=0&all";

 private:
  TempDir dir_;
  TTroubledStore store_{dir_.path() / "scores.sqlite"};
  ScoreService service_;
  ScoreHttpServer http_;
  int port_ = -1;
  std::thread thread_;
};

TEST(DatabaseTrouble, ATablePageTheStoreCannotMakeIsServedAsLastMade) {
  TTroubledServer server({});
  EXPECT_EQ(server.SendResult("Ada").second, "OK");
  const auto [shown, page] = server.Get(TTroubledServer::TableTarget);
  ASSERT_EQ(shown, 200);
  ASSERT_NE(page.find(">Ada<"), std::string::npos);
  // A new result makes the page stale; then the store fails.
  EXPECT_EQ(server.SendResult("Bo").second, "OK");
  server.Store().Set(TTroubledStore::TMode::Unavailable);

  const auto [status, last] = server.Get(TTroubledServer::TableTarget);
  EXPECT_EQ(status, 200);
  EXPECT_EQ(last, page);
  // A page never made has no copy to fall back on.
  EXPECT_EQ(server.Get(std::string(TTroubledServer::TableTarget) + "&page=2").first, 503);
  EXPECT_EQ(server.Get("/scores.json").first, 503);
  // Handshakes go on; results are refused as the server's trouble, not the client's.
  EXPECT_EQ(server.Get(TTroubledServer::HandshakeTarget).first, 200);
  const auto [refused, reply] = server.SendResult("Cy");
  EXPECT_EQ(refused, 503);
  EXPECT_FALSE(reply.starts_with("OK"));

  server.Store().Set(TTroubledStore::TMode::Fine);
  EXPECT_NE(
      server.Get(std::string(TTroubledServer::TableTarget) + "&page=1&size=50").second.find(">Bo<"),
      std::string::npos);
}

// Ends the hang and joins the request that waited on it, also when a check on the way failed.
struct TReleaseOnExit {
  TTroubledStore& store;
  std::thread& waiting;
  ~TReleaseOnExit() {
    store.Set(TTroubledStore::TMode::Fine);
    if (waiting.joinable()) waiting.join();
  }
};

TEST(DatabaseTrouble, AHungDatabaseHoldsNeitherHandshakesNorFiles) {
  ConnectionLimits limits;
  limits.databaseWorkers = 1;
  limits.databaseQueue = 0;
  TTroubledServer server(limits);
  server.Store().Set(TTroubledStore::TMode::Hung);
  // A page request holds the one worker, and no call may wait for it.
  std::atomic<int> held{0};
  std::thread waiting([&] { held = server.Get(TTroubledServer::TableTarget).first; });
  const TReleaseOnExit release{server.Store(), waiting};
  // Its read is in the store, so it has the worker: a request sent before then could take it.
  ASSERT_TRUE(server.Store().AwaitHeldTableReads(1));

  EXPECT_EQ(server.Get(std::string(TTroubledServer::TableTarget) + "&page=2").first, 503);
  EXPECT_EQ(server.Get("/scores.json").first, 503);
  EXPECT_EQ(server.SendResult("Ada").first, 503);
  EXPECT_EQ(server.Get(TTroubledServer::HandshakeTarget).first, 200);
  const auto [css, sheet] = server.Get("/style.css");
  EXPECT_EQ(css, 200);
  EXPECT_FALSE(sheet.empty());
  EXPECT_EQ(held, 0);

  // When the database answers again, so does the request that waited for it.
  server.Store().Set(TTroubledStore::TMode::Fine);
  waiting.join();
  EXPECT_EQ(held, 200);
}

}  // namespace
