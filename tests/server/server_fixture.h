// A score server on the loopback interface for one test: a fresh SQLite file, the real HTTP
// server on a free port, and a clock the test can move.
#pragma once

#include <httplib.h>

#include <atomic>
#include <memory>
#include <string>
#include <thread>

#include "online/result_encoding.h"
#include "online/result_payload.h"
#include "server/score_http_server.h"
#include "server/sqlite_store.h"
#include "tests/support/temp_dir.h"

constexpr const char* TestSecret = "a secret of the tests, long enough";

class TRunningServer {
 public:
  explicit TRunningServer(TServiceSettings settings = {}, ConnectionLimits limits = {})
      : store_((dir_.path() / "scores.sqlite").string(), limits.databaseWorkers + 1),
        service_(store_, TTokenSigner(TestSecret), settings, [this] { return now_.load(); }),
        http_(service_, limits, dir_.path() / "web", nullptr) {
    port_ = http_.Bind("127.0.0.1", 0);
    thread_ = std::thread([this] { http_.Run(); });
    // Stop() before Run() has begun would be lost.
    while (!http_.IsRunning()) std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  ~TRunningServer() {
    http_.Stop();
    thread_.join();
  }
  TRunningServer(const TRunningServer&) = delete;
  TRunningServer& operator=(const TRunningServer&) = delete;

  int Port() const { return port_; }
  std::string HostPort() const { return "127.0.0.1:" + std::to_string(port_); }
  TSqliteScoreStore& Store() { return store_; }
  const std::filesystem::path& Dir() const { return dir_.path(); }
  void SetNow(int64_t now) { now_ = now; }
  void TrustProxies(std::vector<std::string> addresses) {
    http_.TrustProxies(std::move(addresses));
  }
  int64_t Now() const { return now_; }

  // A GET on a new connection; status -1 when nothing came back.
  std::pair<int, std::string> Get(const std::string& target, const httplib::Headers& headers = {}) {
    httplib::Client client("127.0.0.1", port_);
    client.set_read_timeout(10, 0);
    auto result = client.Get(target.c_str(), headers);
    if (!result) return {-1, {}};
    return {result->status, result->body};
  }

  // The server value a handshake hands out.
  std::string Handshake() { return HandshakeServerValue(Get(HandshakeTarget).second); }

  static std::string ResultTarget(std::string_view letters) {
    return "/cgi/version.pl?hs&prg=Skarvel&inf=" + std::string(letters);
  }
  // Sends `payload` as the game would encode it; the reply's status and body.
  std::pair<int, std::string> SendPayload(std::string_view payload) {
    return Get(ResultTarget(EncodeResult(payload)));
  }

  static constexpr const char* HandshakeTarget = "/cgi/version.pl?version&prg=Skarvel";
  static constexpr const char* TableTarget = "/cgi/version.pl?prg=Skarvel&show&type=0";

 private:
  TempDir dir_;
  std::atomic<int64_t> now_{1'800'000'000};
  TSqliteScoreStore store_;
  TScoreService service_;
  ScoreHttpServer http_;
  int port_ = -1;
  std::thread thread_;
};
