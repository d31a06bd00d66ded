// TCP connections for the HTTP client: host names resolved aside so a stalled resolver cannot hold
// the game past its deadline, non-blocking sockets waited on with poll.
#include "online/http_socket.h"

#include <netdb.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <condition_variable>
#include <cstring>
#include <memory>
#include <mutex>
#include <system_error>
#include <thread>
#include <utility>

#include "online/http_errors.h"

namespace {

[[noreturn]] void ThrowSystem(int code) {
  throw EHttpSocketError(code, std::strerror(code));
}

[[noreturn]] void ThrowResolver(int code) {
  throw EHttpSocketError(code, gai_strerror(code));
}

struct TAddressList {
  addrinfo* First = nullptr;
  ~TAddressList() {
    if (First != nullptr) freeaddrinfo(First);
  }
};

// A lookup that its waiter may give up on: whoever finishes last frees the result.
struct TLookup {
  std::mutex Mutex;
  std::condition_variable Finished;
  bool Done = false;
  bool Abandoned = false;
  int Error = 0;        // the resolver's code
  int SystemError = 0;  // errno, for EAI_SYSTEM
  addrinfo* Result = nullptr;
};

addrinfo Hints(int flags) {
  addrinfo hints{};
  hints.ai_family = AF_UNSPEC;
  hints.ai_socktype = SOCK_STREAM;
  hints.ai_protocol = IPPROTO_TCP;
  hints.ai_flags = flags | AI_NUMERICSERV;
  return hints;
}

void Resolve(const std::string& host, uint16_t port, THttpSocket::Clock::time_point deadline,
             TAddressList& addresses) {
  const std::string service = std::to_string(port);
  // An address needs no resolver, and so no helper thread.
  const addrinfo numeric = Hints(AI_NUMERICHOST);
  if (getaddrinfo(host.c_str(), service.c_str(), &numeric, &addresses.First) == 0) return;
  addresses.First = nullptr;

  // getaddrinfo itself cannot be bounded in time: it runs on a thread of its own, and a lookup
  // that outlives the deadline is left to finish and free its result unobserved.
  auto lookup = std::make_shared<TLookup>();
  try {
    std::thread([lookup, host, service] {
      const addrinfo hints = Hints(0);
      addrinfo* result = nullptr;
      const int error = getaddrinfo(host.c_str(), service.c_str(), &hints, &result);
      const int savedErrno = errno;
      const std::lock_guard lock(lookup->Mutex);
      if (lookup->Abandoned) {
        if (error == 0) freeaddrinfo(result);
      } else {
        lookup->Result = error == 0 ? result : nullptr;
        lookup->Error = error;
        lookup->SystemError = savedErrno;
      }
      lookup->Done = true;
      lookup->Finished.notify_all();
    }).detach();
  } catch (const std::system_error& e) {
    ThrowSystem(e.code().value());
  }
  std::unique_lock lock(lookup->Mutex);
  if (!lookup->Finished.wait_until(lock, deadline, [&lookup] { return lookup->Done; })) {
    lookup->Abandoned = true;
    ThrowSystem(ETIMEDOUT);
  }
  if (lookup->Error == EAI_SYSTEM) ThrowSystem(lookup->SystemError);
  if (lookup->Error != 0) ThrowResolver(lookup->Error);
  addresses.First = lookup->Result;
}

}  // namespace

void THttpSocket::Wait(short events, Clock::time_point deadline) const {
  for (;;) {
    const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - Clock::now()).count();
    if (left <= 0) ThrowSystem(ETIMEDOUT);
    pollfd entry{fd_, events, 0};
    const int ready = poll(&entry, 1, static_cast<int>(std::min<long long>(left, 60000)));
    if (ready > 0) return;
    if (ready < 0 && errno != EINTR) ThrowSystem(errno);
  }
}

void THttpSocket::Connect(const std::string& host, uint16_t port, Clock::time_point deadline) {
  Close();
  TAddressList addresses;
  Resolve(host, port, deadline, addresses);
  int lastError = ECONNREFUSED;
  for (const addrinfo* a = addresses.First; a != nullptr; a = a->ai_next) {
    fd_ = socket(a->ai_family, a->ai_socktype | SOCK_NONBLOCK | SOCK_CLOEXEC, a->ai_protocol);
    if (fd_ < 0) {
      lastError = errno;
      continue;
    }
    if (connect(fd_, a->ai_addr, a->ai_addrlen) == 0) return;
    lastError = errno;
    if (lastError == EINPROGRESS) {
      try {
        Wait(POLLOUT, deadline);
      } catch (...) {
        Close();
        throw;
      }
      socklen_t length = sizeof(lastError);
      if (getsockopt(fd_, SOL_SOCKET, SO_ERROR, &lastError, &length) != 0) lastError = errno;
      if (lastError == 0) return;
    }
    Close();
  }
  ThrowSystem(lastError);
}

THttpSocket::THttpSocket(THttpSocket&& other) noexcept : fd_(std::exchange(other.fd_, -1)) {}

THttpSocket& THttpSocket::operator=(THttpSocket&& other) noexcept {
  if (this != &other) {
    Close();
    fd_ = std::exchange(other.fd_, -1);
  }
  return *this;
}

void THttpSocket::SendAll(std::string_view bytes, Clock::time_point deadline, size_t& sent) {
  sent = 0;
  while (sent < bytes.size()) {
    const ssize_t written = send(fd_, bytes.data() + sent, bytes.size() - sent, MSG_NOSIGNAL);
    if (written >= 0) {
      sent += static_cast<size_t>(written);
    } else if (errno == EAGAIN || errno == EWOULDBLOCK) {
      Wait(POLLOUT, deadline);
    } else if (errno != EINTR) {
      ThrowSystem(errno);
    }
  }
}

size_t THttpSocket::Receive(char* buffer, size_t size, Clock::time_point deadline) {
  for (;;) {
    const ssize_t got = recv(fd_, buffer, size, 0);
    if (got >= 0) return static_cast<size_t>(got);
    if (errno == EAGAIN || errno == EWOULDBLOCK) {
      Wait(POLLIN, deadline);
    } else if (errno != EINTR) {
      ThrowSystem(errno);
    }
  }
}

bool THttpSocket::IsIdle() const {
  if (fd_ < 0) return false;
  pollfd entry{fd_, POLLIN, 0};
  // Readable means closed, failed or sent something unasked; none of these can be reused.
  return poll(&entry, 1, 0) == 0;
}

void THttpSocket::Close() {
  if (fd_ >= 0) close(fd_);
  fd_ = -1;
}
