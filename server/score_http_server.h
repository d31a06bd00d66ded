// The score server's HTTP face: the game's three requests on /cgi/version.pl, the home page, the
// JSON export and the page's style sheet, face and screenshots; 404 for anything else and 405 for
// any method but GET and HEAD. One line a request goes to the access log.
#pragma once

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

#include "server/bounded_http_server.h"
#include "server/score_service.h"

class TScoreHttpServer {
 public:
  // `webRoot` holds fonts/ and screenshots/, read once now; missing folders serve nothing.
  // `log` receives one line a request (nullptr: no log).
  TScoreHttpServer(TScoreService& service, const TConnectionLimits& limits,
                   const std::filesystem::path& webRoot, std::FILE* log);

  // Binds the address; the port it got (useful with port 0), or -1.
  int Bind(const std::string& host, int port);
  // Serves until Stop(); returns false when the server could not run.
  bool Run();
  // Ends Run() from any thread (or a signal's watcher thread); connections in flight finish.
  void Stop();
  // Requests from these addresses (a reverse proxy in front of this server) are counted against
  // the last address of their X-Forwarded-For header, the client the proxy saw.
  void TrustProxies(std::vector<std::string> addresses) { trustedProxies_ = std::move(addresses); }

  // Whether Run() has begun accepting connections.
  bool IsRunning() const { return http_.is_running(); }

 private:
  void Route(const httplib::Request& request, httplib::Response& response);
  void ServeGameRequest(const httplib::Request& request, httplib::Response& response);
  void ServeTable(const httplib::Request& request, httplib::Response& response, bool json);
  void Log(const httplib::Request& request, const httplib::Response& response);
  std::string ClientAddress(const httplib::Request& request) const;
  void LoadStaticFiles(const std::filesystem::path& webRoot);
  // The page under `key` as made lately, or made now by `render`.
  std::string CachedPage(const std::string& key, const std::function<std::string()>& render);

  TScoreService& service_;
  TBoundedHttpServer http_;
  std::FILE* log_;
  std::vector<std::string> trustedProxies_;
  struct TStaticFile {
    std::string contentType;
    std::string bytes;
  };
  std::map<std::string, TStaticFile, std::less<>> files_;  // By URL path.
  // Pages are read far more often than results come: a page is made again only after this
  // instance stored a result, or after a moment (another instance may have stored one).
  struct TCachedPage {
    std::string body;
    uint64_t generation = 0;
    std::chrono::steady_clock::time_point made;
  };
  std::mutex cacheMutex_;
  std::unordered_map<std::string, TCachedPage> cache_;
};
