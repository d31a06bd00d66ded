// The loopback test server behind the HTTP client's tests.
#include "tests/support/scripted_http_server.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <stdexcept>

namespace {

bool SendAll(int fd, std::string_view bytes) {
  while (!bytes.empty()) {
    const ssize_t sent = send(fd, bytes.data(), bytes.size(), MSG_NOSIGNAL);
    if (sent <= 0) return false;
    bytes.remove_prefix(static_cast<size_t>(sent));
  }
  return true;
}

}  // namespace

TScriptedHttpServer::TScriptedHttpServer(std::vector<Reply> replies)
    : replies_(std::move(replies)) {
  listener_ = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  address.sin_port = 0;
  socklen_t length = sizeof(address);
  if (listener_ < 0 ||
      bind(listener_, reinterpret_cast<const sockaddr*>(&address), sizeof(address)) != 0 ||
      listen(listener_, 8) != 0 ||
      getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
    throw std::runtime_error("test server cannot listen on the loopback interface");
  }
  port_ = ntohs(address.sin_port);
  thread_ = std::thread([this] { Run(); });
}

TScriptedHttpServer::~TScriptedHttpServer() {
  stop_ = true;
  if (thread_.joinable()) thread_.join();
  close(listener_);
}

std::string TScriptedHttpServer::Server() const {
  return "127.0.0.1:" + std::to_string(port_);
}

std::string TScriptedHttpServer::Url(std::string_view target) const {
  return "http://" + Server() + std::string(target);
}

std::vector<TScriptedHttpServer::Request> TScriptedHttpServer::Requests() const {
  const std::lock_guard lock(mutex_);
  return requests_;
}

bool TScriptedHttpServer::WaitReadable(int fd) const {
  while (!stop_) {
    pollfd entry{fd, POLLIN, 0};
    if (poll(&entry, 1, 20) > 0) return true;
  }
  return false;
}

void TScriptedHttpServer::Run() {
  while (WaitReadable(listener_)) {
    const int connection = accept4(listener_, nullptr, nullptr, SOCK_CLOEXEC);
    if (connection < 0) continue;
    Serve(connection, connections_++);
    close(connection);
  }
}

void TScriptedHttpServer::Serve(int connection, int index) {
  std::string pending;
  char buffer[4096];
  for (;;) {
    size_t end;
    while ((end = pending.find("\r\n\r\n")) == std::string::npos) {
      if (!WaitReadable(connection)) return;
      const ssize_t got = recv(connection, buffer, sizeof(buffer), 0);
      if (got <= 0) return;
      pending.append(buffer, static_cast<size_t>(got));
    }
    // A request with a body (the game's upload of a recording) is recorded with its body.
    size_t length = end + 4;
    const size_t field = pending.substr(0, end).find("\r\nContent-Length: ");
    if (field != std::string::npos) length += std::stoul(pending.substr(field + 18));
    while (pending.size() < length) {
      if (!WaitReadable(connection)) return;
      const ssize_t got = recv(connection, buffer, sizeof(buffer), 0);
      if (got <= 0) return;
      pending.append(buffer, static_cast<size_t>(got));
    }
    {
      const std::lock_guard lock(mutex_);
      requests_.push_back({index, pending.substr(0, length)});
    }
    pending.erase(0, length);
    if (nextReply_ == replies_.size()) return;
    const Reply& reply = replies_[nextReply_++];
    if (reply.OnRequest) reply.OnRequest();
    for (auto waited = std::chrono::milliseconds(0); waited < reply.Delay && !stop_;
         waited += std::chrono::milliseconds(10)) {
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    if (reply.Drop) return;
    if (reply.Silent) {
      while (WaitReadable(connection) && recv(connection, buffer, sizeof(buffer), 0) > 0) {
      }
      return;
    }
    if (!SendAll(connection, reply.Bytes)) return;
    if (reply.DripInterval.count() > 0) {
      while (!stop_ && SendAll(connection, reply.DripLine)) {
        std::this_thread::sleep_for(reply.DripInterval);
      }
      return;
    }
    if (reply.Close) return;
  }
}
