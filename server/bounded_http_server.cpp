// A Stream over the accepted socket that enforces the deadline and the byte cap, and the
// keep-alive loop around httplib's request processing.
#include "server/bounded_http_server.h"

#include <arpa/inet.h>
#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>

namespace {

using TClock = std::chrono::steady_clock;

// How often a connection waiting for its next request looks whether the server is stopping or
// another connection waits for its worker.
constexpr std::chrono::milliseconds StopCheckInterval{10};
// A larger accept queue than httplib's own, so bursts of new connections are not refused.
constexpr int ListenBacklog = 256;

thread_local TClock::time_point requestStart;
thread_local bool closeAfterThisRequest = false;

// Waits until `sock` is ready for `events` or `deadline` passes.
bool WaitFor(int sock, short events, TClock::time_point deadline) {
  for (;;) {
    const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - TClock::now());
    if (left.count() <= 0) return false;
    pollfd entry{sock, events, 0};
    const int ready = ::poll(&entry, 1, static_cast<int>(left.count()));
    if (ready > 0) return true;
    if (ready == 0) return false;
    if (errno != EINTR) return false;
  }
}

void AddressOf(int sock, bool peer, std::string& ip, int& port) {
  sockaddr_storage address{};
  socklen_t length = sizeof address;
  auto* raw = reinterpret_cast<sockaddr*>(&address);
  if ((peer ? ::getpeername(sock, raw, &length) : ::getsockname(sock, raw, &length)) != 0) return;
  char host[NI_MAXHOST];
  char service[NI_MAXSERV];
  if (::getnameinfo(raw, length, host, sizeof host, service, sizeof service,
                    NI_NUMERICHOST | NI_NUMERICSERV) == 0) {
    ip = host;
    port = std::atoi(service);
  }
}

class TDeadlineStream : public httplib::Stream {
 public:
  TDeadlineStream(int sock, size_t maxRequestBytes) : sock_(sock), maxBytes_(maxRequestBytes) {}

  void StartRequest(TClock::time_point deadline) {
    deadline_ = deadline;
    bytesRead_ = 0;
    bytesWritten_ = 0;
    overrun_ = false;
  }

  // Whether the request ran into the byte cap or the deadline: the connection is not to be
  // trusted for another request.
  bool Overrun() const { return overrun_; }
  bool WroteNothing() const { return bytesWritten_ == 0; }
  bool BytesReadOverCap() const { return bytesRead_ >= maxBytes_; }

  bool is_readable() const override { return WaitFor(sock_, POLLIN, deadline_); }
  bool is_writable() const override { return WaitFor(sock_, POLLOUT, deadline_); }

  ssize_t read(char* ptr, size_t size) override {
    if (bytesRead_ >= maxBytes_ || !WaitFor(sock_, POLLIN, deadline_)) {
      overrun_ = true;
      return -1;
    }
    size = std::min(size, maxBytes_ - bytesRead_);
    ssize_t count;
    do {
      count = ::recv(sock_, ptr, size, 0);
    } while (count < 0 && errno == EINTR);
    if (count > 0) bytesRead_ += static_cast<size_t>(count);
    return count;
  }

  ssize_t write(const char* ptr, size_t size) override {
    if (!WaitFor(sock_, POLLOUT, deadline_)) {
      overrun_ = true;
      return -1;
    }
    ssize_t count;
    do {
      count = ::send(sock_, ptr, size, MSG_NOSIGNAL);
    } while (count < 0 && errno == EINTR);
    if (count > 0) bytesWritten_ += static_cast<size_t>(count);
    return count;
  }

  void get_remote_ip_and_port(std::string& ip, int& port) const override {
    AddressOf(sock_, true, ip, port);
  }
  void get_local_ip_and_port(std::string& ip, int& port) const override {
    AddressOf(sock_, false, ip, port);
  }
  socket_t socket() const override { return sock_; }

 private:
  const int sock_;
  const size_t maxBytes_;
  size_t bytesRead_ = 0;
  size_t bytesWritten_ = 0;
  bool overrun_ = false;
  TClock::time_point deadline_;
};

}  // namespace

TWorkerPool::TWorkerPool(size_t workers) {
  for (size_t i = 0; i < workers; ++i) threads_.emplace_back([this] { Work(); });
}

TWorkerPool::~TWorkerPool() {
  shutdown();
}

void TWorkerPool::enqueue(std::function<void()> job) {
  {
    std::lock_guard lock(mutex_);
    jobs_.push_back(std::move(job));
    ++waiting_;
  }
  wake_.notify_one();
}

void TWorkerPool::shutdown() {
  {
    std::lock_guard lock(mutex_);
    stopping_ = true;
  }
  wake_.notify_all();
  for (auto& thread : threads_) {
    if (thread.joinable()) thread.join();
  }
}

void TWorkerPool::Work() {
  for (;;) {
    std::function<void()> job;
    {
      std::unique_lock lock(mutex_);
      wake_.wait(lock, [this] { return stopping_ || !jobs_.empty(); });
      // Connections already accepted are still served when the server stops.
      if (jobs_.empty()) return;
      job = std::move(jobs_.front());
      jobs_.pop_front();
      --waiting_;
    }
    job();
  }
}

TBoundedHttpServer::TBoundedHttpServer(const TConnectionLimits& limits) : limits_(limits) {
  const size_t workers = std::max<size_t>(1, limits.workers);
  // httplib makes the queue when it starts listening and deletes it when it stops.
  new_task_queue = [this, workers] {
    auto* pool = new TWorkerPool(workers);
    pool_ = pool;
    return pool;
  };
  set_keep_alive_max_count(limits.keepAliveRequests);
}

bool TBoundedHttpServer::OthersWaiting() const {
  const TWorkerPool* pool = pool_;
  return pool && pool->Waiting() > 0;
}

int TBoundedHttpServer::Bind(const std::string& host, int port) {
  const int bound = port == 0 ? bind_to_any_port(host) : (bind_to_port(host, port) ? port : -1);
  if (bound >= 0) ::listen(svr_sock_, ListenBacklog);
  return bound;
}

bool TBoundedHttpServer::process_and_close_socket(socket_t sock) {
  // A reply goes out in more than one write (head, then body): without this the second waits for
  // the client's delayed acknowledgement, some 40 ms.
  const int noDelay = 1;
  ::setsockopt(sock, IPPROTO_TCP, TCP_NODELAY, &noDelay, sizeof noDelay);
  TDeadlineStream stream(sock, limits_.maxRequestBytes);
  bool served = false;
  // The first request must be read and answered within the time-out from when a worker took the
  // connection up, so a client that waits before it dribbles gains nothing.
  const auto connected = TClock::now();
  for (size_t left = limits_.keepAliveRequests; left > 0; --left) {
    const bool first = left == limits_.keepAliveRequests;
    // Wait for the first byte of the next request, in short steps so that a stopping server is
    // noticed and an idle connection kept alive yields its worker to a connection waiting for one.
    const auto idleLimit =
        first ? connected + limits_.requestTimeout : TClock::now() + limits_.keepAliveTimeout;
    bool readable = false;
    while (!readable && svr_sock_ != INVALID_SOCKET && TClock::now() < idleLimit &&
           (first || !OthersWaiting())) {
      readable = WaitFor(sock, POLLIN, std::min(idleLimit, TClock::now() + StopCheckInterval));
    }
    if (!readable) break;
    requestStart = TClock::now();
    closeAfterThisRequest = false;
    stream.StartRequest(first ? connected + limits_.requestTimeout
                              : requestStart + limits_.requestTimeout);
    bool connectionClosed = false;
    served = process_request(stream, left == 1, connectionClosed, nullptr);
    if (stream.Overrun()) {
      // Too large or too slow: say so when nothing was answered yet, then hang up.
      if (stream.WroteNothing() && stream.BytesReadOverCap()) {
        constexpr std::string_view TooLarge =
            "HTTP/1.1 431 Request Header Fields Too Large\r\nConnection: close\r\n"
            "Content-Type: text/plain\r\nContent-Length: 26\r\n\r\nERROR: request too large\r\n";
        stream.write(TooLarge.data(), TooLarge.size());
      }
      break;
    }
    if (!served || connectionClosed || closeAfterThisRequest) break;
  }
  ::shutdown(sock, SHUT_RDWR);
  ::close(sock);
  return served;
}

void CloseConnectionAfterThisRequest() {
  closeAfterThisRequest = true;
}

std::chrono::steady_clock::time_point CurrentRequestStart() {
  return requestStart;
}
