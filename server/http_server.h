// The HTTP/1.1 server under the score server: event-driven on Boost.Asio with Beast's parser, a
// few I/O threads, and bounds on what any client can hold (see ConnectionLimits). An idle or slow
// connection costs a little memory and a timer, never a thread.
#pragma once

#include <atomic>
#include <boost/asio/awaitable.hpp>
#include <boost/asio/io_context.hpp>
#include <boost/asio/ip/tcp.hpp>
#include <boost/beast/http/fields.hpp>
#include <boost/beast/http/verb.hpp>
#include <chrono>
#include <cstddef>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "server/access_log.h"
#include "server/connection_registry.h"
#include "server/request_head.h"

struct ConnectionLimits {
  size_t ioThreads = 0;                 // 0: one a core.
  size_t maxConnections = 10000;        // Open at once; lowered to what the file limit allows.
  size_t maxConnectionsPerClient = 64;  // From one IPv4 address or IPv6 /64.
  std::chrono::milliseconds firstByteTimeout{5000};  // For a request's first byte.
  std::chrono::milliseconds requestTimeout{10000};   // From its first byte to its last; a reply's
                                                     // writing has as long again.
  RequestHeadLimits head;
  size_t maxBody = 0;  // The largest POST body taken, read within the request's time; 0: no POST.
  // The database calls' own pool (see DatabaseWorkers).
  size_t databaseWorkers = 4;
  size_t databaseQueue = 256;
};

// A request as the routes see it: a GET or HEAD is its head alone, a POST has its whole body.
struct HttpRequest {
  boost::beast::http::verb verb = boost::beast::http::verb::get;
  std::string_view target;
  const boost::beast::http::fields* fields = nullptr;
  std::string_view peerAddress;  // The connection's other end.
  std::string_view body;

  // The first header field called `name`, empty when there is none.
  std::string_view Header(std::string_view name) const;
};

struct HttpReply {
  int status = 200;
  std::string contentType = "text/plain; charset=utf-8";
  std::shared_ptr<const std::string> body;
  std::vector<std::pair<std::string, std::string>> headers;
  bool close = false;  // Close the connection after this reply.
  std::string note;    // For the access log.
};

using HttpHandler = std::function<boost::asio::awaitable<HttpReply>(const HttpRequest&)>;

struct SessionContext;

class HttpServer {
 public:
  // `handler` answers every request that passed the checks; `log` gets a line for every reply.
  HttpServer(const ConnectionLimits& limits, HttpHandler handler, AccessLog& log);
  ~HttpServer();
  HttpServer(const HttpServer&) = delete;
  HttpServer& operator=(const HttpServer&) = delete;

  // Binds `host`:`port` (0: any free port); the bound port, or -1.
  int Bind(const std::string& host, int port);
  // Serves until Stop(); false when it could not run (nothing bound).
  bool Run();
  // Ends Run() from any thread: no new connections, waiting ones closed, requests under way get
  // their replies (for a few seconds at most).
  void Stop();
  bool IsRunning() const { return running_; }
  // Connections from these addresses (a reverse proxy) are not held to the per-client cap.
  void ExemptFromClientCap(std::vector<std::string> addresses) { exempt_ = std::move(addresses); }

 private:
  boost::asio::awaitable<void> Accept();
  void StopWhenDrained(std::chrono::steady_clock::time_point giveUp);

  const ConnectionLimits limits_;
  const HttpHandler handler_;
  AccessLog& log_;
  std::vector<std::string> exempt_;
  std::atomic<bool> running_{false};
  std::atomic<bool> stopRequested_{false};
  std::atomic<bool> stopping_{false};
  ConnectionRegistry registry_;
  std::unique_ptr<SessionContext> sessionContext_;  // What every connection reads; outlives them.
  boost::asio::io_context context_;
  boost::asio::ip::tcp::acceptor acceptor_;
};

// Raises this process's limit of open files to its hard limit; the limit now in force.
size_t RaiseFileLimit();
// How many connections `fileLimit` open files leave room for, beside the server's own files.
size_t ConnectionsWithin(size_t fileLimit);
