// A raw TCP connection to the server under test, for what no polite client sends: bytes as they
// are, replies read as they come, and the moment the server closes.
#pragma once

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <string>
#include <string_view>

class TRawConnection {
 public:
  // From `source`, any address of the loopback network (127.0.0.1 by default).
  explicit TRawConnection(int port, const char* source = nullptr)
      : fd_(::socket(AF_INET, SOCK_STREAM, 0)) {
    if (source) {
      sockaddr_in from{};
      from.sin_family = AF_INET;
      inet_pton(AF_INET, source, &from.sin_addr);
      if (::bind(fd_, reinterpret_cast<sockaddr*>(&from), sizeof from) != 0) return;
    }
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<uint16_t>(port));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    connected_ = ::connect(fd_, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
  }
  ~TRawConnection() { ::close(fd_); }
  TRawConnection(const TRawConnection&) = delete;
  TRawConnection& operator=(const TRawConnection&) = delete;

  bool Connected() const { return connected_; }
  bool Send(std::string_view bytes) {
    return ::send(fd_, bytes.data(), bytes.size(), MSG_NOSIGNAL) ==
           static_cast<ssize_t>(bytes.size());
  }
  // Everything until the server closes the connection or `limit` passes.
  std::string ReadUntilClosed(std::chrono::milliseconds limit, bool* closed = nullptr) {
    const auto end = std::chrono::steady_clock::now() + limit;
    while (Receive(end)) {
    }
    if (closed) *closed = closed_;
    std::string bytes = std::move(pending_);
    pending_.clear();
    return bytes;
  }

  struct TReply {
    int status = -1;  // -1: no whole reply came.
    std::string head;
    std::string body;
  };
  // One reply (its body as long as its Content-Length says), within `limit`.
  TReply ReadReply(std::chrono::milliseconds limit) {
    const auto end = std::chrono::steady_clock::now() + limit;
    size_t headEnd;
    while ((headEnd = pending_.find("\r\n\r\n")) == std::string::npos) {
      if (!Receive(end)) return {};
    }
    TReply reply;
    reply.head = pending_.substr(0, headEnd + 4);
    if (reply.head.rfind("HTTP/1.", 0) != 0 || reply.head.size() < 12) return {};
    const size_t lengthAt = reply.head.find("\r\nContent-Length: ");
    const size_t length = lengthAt == std::string::npos
                              ? 0
                              : std::strtoul(reply.head.c_str() + lengthAt + 18, nullptr, 10);
    while (pending_.size() < reply.head.size() + length) {
      if (!Receive(end)) return {};
    }
    reply.status = std::atoi(reply.head.c_str() + 9);
    reply.body = pending_.substr(reply.head.size(), length);
    pending_.erase(0, reply.head.size() + length);
    return reply;
  }
  // Whether the server closed the connection within `limit` (what it sent meanwhile is dropped).
  bool ClosedWithin(std::chrono::milliseconds limit) {
    bool closed = false;
    ReadUntilClosed(limit, &closed);
    return closed;
  }

 private:
  // Appends what comes before `end`; false once the connection closed or the time is up.
  bool Receive(std::chrono::steady_clock::time_point end) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
        end - std::chrono::steady_clock::now());
    pollfd entry{fd_, POLLIN, 0};
    if (closed_ || left.count() <= 0 || ::poll(&entry, 1, static_cast<int>(left.count())) <= 0) {
      return false;
    }
    char buffer[4096];
    const ssize_t count = ::recv(fd_, buffer, sizeof buffer, 0);
    if (count <= 0) {
      closed_ = true;
      return false;
    }
    pending_.append(buffer, static_cast<size_t>(count));
    return true;
  }

  int fd_;
  bool connected_ = false;
  bool closed_ = false;
  std::string pending_;
};
