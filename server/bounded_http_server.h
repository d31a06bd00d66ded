// cpp-httplib's server with hard bounds on each connection: one deadline for reading a request
// and writing its response, a cap on the bytes of a request, and a keep-alive wait that ends when
// the server stops. A slow or endless client loses its connection at the deadline, so it holds a
// worker of the fixed pool no longer than that.
#pragma once

#include <httplib.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

struct TConnectionLimits {
  size_t workers = 16;                               // Threads serving connections.
  std::chrono::milliseconds requestTimeout{10000};   // Whole request read + response written.
  std::chrono::milliseconds keepAliveTimeout{5000};  // Idle wait for the next request.
  size_t keepAliveRequests = 1000;                   // Requests on one connection.
  size_t maxRequestBytes = 16 * 1024;                // Request line + headers (+ any body).
};

// The fixed pool of workers, which also tells how many accepted connections wait for one: a
// connection kept alive gives its worker up when another is waiting.
class TWorkerPool : public httplib::TaskQueue {
 public:
  explicit TWorkerPool(size_t workers);
  ~TWorkerPool() override;

  void enqueue(std::function<void()> job) override;
  void shutdown() override;
  size_t Waiting() const { return waiting_; }

 private:
  void Work();

  std::mutex mutex_;
  std::condition_variable wake_;
  std::deque<std::function<void()>> jobs_;
  std::atomic<size_t> waiting_{0};
  bool stopping_ = false;
  std::vector<std::thread> threads_;
};

class TBoundedHttpServer : public httplib::Server {
 public:
  explicit TBoundedHttpServer(const TConnectionLimits& limits);

  // Binds `host`:`port` (0: any free port); the bound port, or -1.
  int Bind(const std::string& host, int port);

 private:
  bool process_and_close_socket(socket_t sock) override;
  bool OthersWaiting() const;

  const TConnectionLimits limits_;
  std::atomic<TWorkerPool*> pool_{nullptr};
};

// Asks that the connection of the request now being served on this thread be closed after its
// response: after a request that could not be read, what follows cannot be trusted to be the next.
void CloseConnectionAfterThisRequest();

// When the request now being served on this thread began, for the access log.
std::chrono::steady_clock::time_point CurrentRequestStart();
