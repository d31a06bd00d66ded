// The score server's HTTP face: the game's requests on /cgi/version.pl (handshake, result, table,
// start ticket, and the one POST: a recording's upload), the proven recordings under /replays/,
// the home page, the JSON export and the page's style sheet, face and screenshots; 404 for
// anything else and 405 for any other method but GET and HEAD. One line a request goes to the
// access log.
//
// Handshakes and files are answered on the I/O threads; what reads or writes the store runs on
// the database workers, and a table page the store cannot make in time is served as last made.
#pragma once

#include <boost/asio/awaitable.hpp>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <unordered_map>
#include <vector>

#include "server/access_log.h"
#include "server/database_workers.h"
#include "server/http_server.h"
#include "server/score_service.h"

class ScoreHttpServer {
 public:
  // `webRoot` holds fonts/ and screenshots/, read once now (never through a link that leads out
  // of it); missing folders serve nothing. `log` receives one line a request (nullptr: no log).
  ScoreHttpServer(ScoreService& service, const ConnectionLimits& limits,
                  const std::filesystem::path& webRoot, std::FILE* log);

  // Binds the address; the port it got (useful with port 0), or -1.
  int Bind(const std::string& host, int port) { return http_.Bind(host, port); }
  // Serves until Stop(); returns false when the server could not run.
  bool Run() { return http_.Run(); }
  // Ends Run() from any thread (or a signal's watcher thread); requests under way finish.
  void Stop() { http_.Stop(); }
  // Requests from these addresses (a reverse proxy in front of this server) are counted against
  // the last address of their X-Forwarded-For header, the client the proxy saw, and the proxy's
  // connections are not held to the per-client cap.
  void TrustProxies(std::vector<std::string> addresses);

  // Whether Run() has begun accepting connections.
  bool IsRunning() const { return http_.IsRunning(); }

 private:
  using Body = std::shared_ptr<const std::string>;

  boost::asio::awaitable<HttpReply> Handle(const HttpRequest& request);
  boost::asio::awaitable<HttpReply> Route(const HttpRequest& request);
  boost::asio::awaitable<HttpReply> ServeGameRequest(const HttpRequest& request);
  boost::asio::awaitable<HttpReply> ServeUpload(const HttpRequest& request);
  boost::asio::awaitable<HttpReply> ServeReplay(const HttpRequest& request);
  boost::asio::awaitable<HttpReply> ServeTable(const HttpRequest& request, bool json);
  boost::asio::awaitable<HttpReply> ServeCachedPage(const std::string& key,
                                                    std::function<std::string()> render,
                                                    const char* contentType);
  std::string ClientAddress(const HttpRequest& request) const;
  void LoadStaticFiles(const std::filesystem::path& webRoot);

  ScoreService& service_;
  AccessLog log_;
  std::vector<std::string> trustedProxies_;
  struct StaticFile {
    std::string contentType;
    Body bytes;
  };
  std::map<std::string, StaticFile, std::less<>> files_;  // By URL path.
  // Pages are read far more often than results come: a page is made again only after this
  // instance stored a result, or after a moment (another instance may have stored one).
  struct CachedPage {
    Body body;
    uint64_t generation = 0;
    std::chrono::steady_clock::time_point made;
  };
  std::mutex cacheMutex_;
  std::unordered_map<std::string, CachedPage> cache_;
  HttpServer http_;
  // Declared last, so its workers are joined first: their calls use everything above, and hand
  // their answers to the server's I/O context.
  DatabaseWorkers database_;
};
