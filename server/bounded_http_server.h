// cpp-httplib's server with hard bounds on each connection: one deadline for reading a request
// and writing its response, a cap on the bytes of a request, and a keep-alive wait that ends when
// the server stops. A slow or endless client loses its connection at the deadline, so it holds a
// worker of the fixed pool no longer than that.
#pragma once

#include <httplib.h>

#include <chrono>
#include <cstddef>

struct TConnectionLimits {
  size_t workers = 8;                                // Threads serving connections.
  std::chrono::milliseconds requestTimeout{10000};   // Whole request read + response written.
  std::chrono::milliseconds keepAliveTimeout{5000};  // Idle wait for the next request.
  size_t keepAliveRequests = 100;                    // Requests on one connection.
  size_t maxRequestBytes = 16 * 1024;                // Request line + headers (+ any body).
};

class TBoundedHttpServer : public httplib::Server {
 public:
  explicit TBoundedHttpServer(const TConnectionLimits& limits);

  // Binds `host`:`port` (0: any free port); the bound port, or -1.
  int Bind(const std::string& host, int port);

 private:
  bool process_and_close_socket(socket_t sock) override;

  const TConnectionLimits limits_;
};

// When the request now being served on this thread began, for the access log.
std::chrono::steady_clock::time_point CurrentRequestStart();
