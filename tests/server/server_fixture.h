// A score server on the loopback interface for one test: a fresh SQLite file, the real HTTP
// server on a free port, and a clock the test can move.
#pragma once

#include <httplib.h>

#include <atomic>
#include <cstdio>
#include <fstream>
#include <functional>
#include <iterator>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

#include "protocol/result_encoding.h"
#include "protocol/result_payload.h"
#include "server/score_http_server.h"
#include "server/sqlite_store.h"
#include "tests/support/temp_dir.h"

constexpr const char* TestSecret = "a secret of the tests, long enough";

class TRunningServer {
 public:
  // `prepareWebRoot` may put files into the web root before the server reads it.
  // With a `judge` the server takes recordings and re-runs them in a verifier pool.
  explicit TRunningServer(
      ServiceSettings settings = {}, ConnectionLimits limits = {},
      const std::function<void(const std::filesystem::path& webRoot)>& prepareWebRoot = {},
      const ReplayJudge* judge = nullptr, VerifierSettings verifierSettings = {})
      : store_((dir_.path() / "scores.sqlite").string(), limits.databaseWorkers + 1),
        verifier_(judge ? std::make_unique<ReplayVerifier>(store_, *judge, verifierSettings,
                                                           [this](const std::string& line) {
                                                             std::lock_guard lock(linesMutex_);
                                                             lines_ += line + "\n";
                                                           })
                        : nullptr),
        service_(
            store_, TokenSigner(TestSecret), settings, [this] { return now_.load(); },
            verifier_.get()),
        log_(PrepareAndOpenLog(prepareWebRoot)),
        http_(service_, limits, dir_.path() / "web", log_) {
    port_ = http_.Bind("127.0.0.1", 0);
    thread_ = std::thread([this] { http_.Run(); });
    // Stop() before Run() has begun would be lost.
    while (!http_.IsRunning()) std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  ~TRunningServer() {
    http_.Stop();
    thread_.join();
    if (log_) std::fclose(log_);
  }
  TRunningServer(const TRunningServer&) = delete;
  TRunningServer& operator=(const TRunningServer&) = delete;

  int Port() const { return port_; }
  std::string HostPort() const { return "127.0.0.1:" + std::to_string(port_); }
  SqliteScoreStore& Store() { return store_; }
  const std::filesystem::path& Dir() const { return dir_.path(); }
  void SetNow(int64_t now) { now_ = now; }
  void TrustProxies(std::vector<std::string> addresses) {
    http_.TrustProxies(std::move(addresses));
  }
  int64_t Now() const { return now_; }
  ReplayVerifier* Verifier() { return verifier_.get(); }
  // What the verifier said so far.
  std::string VerifierLog() {
    std::lock_guard lock(linesMutex_);
    return lines_;
  }
  // The access log so far.
  std::string Log() const {
    std::ifstream in(dir_.path() / "access.log", std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
  }

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
  // Every result, proven or not: the results these tests send carry no recording.
  static constexpr const char* TableTarget = "/cgi/version.pl?prg=Skarvel&show&type=0&all";
  static constexpr const char* ProvenTableTarget = "/cgi/version.pl?prg=Skarvel&show&type=0";

 private:
  std::FILE* PrepareAndOpenLog(
      const std::function<void(const std::filesystem::path& webRoot)>& prepareWebRoot) {
    if (prepareWebRoot) prepareWebRoot(dir_.path() / "web");
    return std::fopen((dir_.path() / "access.log").c_str(), "a");
  }

  TempDir dir_;
  std::atomic<int64_t> now_{1'800'000'000};
  SqliteScoreStore store_;
  std::mutex linesMutex_;
  std::string lines_;
  std::unique_ptr<ReplayVerifier> verifier_;
  ScoreService service_;
  std::FILE* log_ = nullptr;
  ScoreHttpServer http_;
  int port_ = -1;
  std::thread thread_;
};
