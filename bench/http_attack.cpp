// http_attack PORT IDLE DRIPPERS BIG SECONDS: hostile clients on 127.0.0.1:PORT for the server
// benchmark (bench/server_load.sh) while it measures a polite client: IDLE connections that send
// nothing, DRIPPERS that send a request's headers a byte every half second, and BIG clients that
// send request after request with 15 KB of headers. A connection the server closes is opened again
// at once, so the pressure holds throughout. The attackers come from many addresses (127.0.1.x,
// ConnectionsPerAddress each, under the server's cap per client), as a crowd of hosts would, so
// the server holds them all instead of turning them away at its per-client cap; the polite client
// comes from 127.0.0.1. Prints what the attackers saw at the end.
#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <string>
#include <utility>
#include <vector>

namespace {

enum class Kind { Idle, Dripper, Big };

// Below the server's default cap of 64 connections a client.
constexpr size_t ConnectionsPerAddress = 48;

struct Attacker {
  Kind kind = Kind::Idle;
  size_t index = 0;  // Which of the attackers: picks its source address.
  int fd = -1;
  std::string pending;  // Bytes still to send (a dripper sends one of them at a time).
  std::chrono::steady_clock::time_point nextDrip;
  std::string reply;
};

int port = 0;
unsigned long reopened = 0;
unsigned long connectFailures = 0;
std::map<std::string, unsigned long> bigReplies;  // By status line.

std::string BigRequest() {
  std::string request = "GET / HTTP/1.1\r\nHost: 127.0.0.1\r\nConnection: close\r\n";
  for (int i = 0; request.size() < 15 * 1024; ++i) {
    request += "X-Padding-" + std::to_string(i) + ": " + std::string(200, 'p') + "\r\n";
  }
  return request + "\r\n";
}

void Open(Attacker& attacker) {
  attacker.fd = ::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_port = htons(static_cast<uint16_t>(port));
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  sockaddr_in source{};
  source.sin_family = AF_INET;
  source.sin_addr.s_addr =
      htonl(0x7F000100u + 1u + static_cast<uint32_t>(attacker.index / ConnectionsPerAddress));
  if (attacker.fd >= 0 &&
      ::bind(attacker.fd, reinterpret_cast<sockaddr*>(&source), sizeof source) != 0) {
    ::close(attacker.fd);
    attacker.fd = -1;
  }
  if (attacker.fd < 0 ||
      (::connect(attacker.fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 &&
       errno != EINPROGRESS)) {
    ++connectFailures;
    if (attacker.fd >= 0) ::close(attacker.fd);
    attacker.fd = -1;
    return;
  }
  attacker.reply.clear();
  attacker.nextDrip = std::chrono::steady_clock::now();
  switch (attacker.kind) {
    case Kind::Idle:
      attacker.pending.clear();
      break;
    case Kind::Dripper:
      attacker.pending = "GET / HTTP/1.1\r\nHost: 127.0.0.1\r\n" + std::string(16000, 'd');
      break;
    case Kind::Big:
      attacker.pending = BigRequest();
      break;
  }
}

void Reopen(Attacker& attacker) {
  if (attacker.kind == Kind::Big && !attacker.reply.empty()) {
    bigReplies[attacker.reply.substr(0, attacker.reply.find('\r'))]++;
  }
  ::close(attacker.fd);
  attacker.fd = -1;
  ++reopened;
  Open(attacker);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 6) {
    std::fprintf(stderr, "usage: %s PORT IDLE DRIPPERS BIG SECONDS\n", argv[0]);
    return 2;
  }
  port = std::atoi(argv[1]);
  rlimit files{};
  getrlimit(RLIMIT_NOFILE, &files);
  files.rlim_cur = files.rlim_max;
  setrlimit(RLIMIT_NOFILE, &files);

  std::vector<Attacker> attackers;
  const std::pair<Kind, int> counts[] = {{Kind::Idle, std::atoi(argv[2])},
                                         {Kind::Dripper, std::atoi(argv[3])},
                                         {Kind::Big, std::atoi(argv[4])}};
  for (const auto& [kind, count] : counts) {
    for (int i = 0; i < count; ++i) {
      Attacker attacker;
      attacker.kind = kind;
      attacker.index = attackers.size();
      attackers.push_back(attacker);
    }
  }
  for (auto& attacker : attackers) Open(attacker);
  const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(std::atoi(argv[5]));

  std::vector<pollfd> descriptors(attackers.size());
  while (std::chrono::steady_clock::now() < end) {
    const auto now = std::chrono::steady_clock::now();
    for (size_t i = 0; i < attackers.size(); ++i) {
      Attacker& attacker = attackers[i];
      if (attacker.fd < 0) Open(attacker);
      short events = POLLIN;
      const bool wantsToSend =
          !attacker.pending.empty() && (attacker.kind != Kind::Dripper || now >= attacker.nextDrip);
      if (wantsToSend) events |= POLLOUT;
      descriptors[i] = {attacker.fd, events, 0};
    }
    if (::poll(descriptors.data(), descriptors.size(), 50) < 0 && errno != EINTR) return 1;
    for (size_t i = 0; i < attackers.size(); ++i) {
      Attacker& attacker = attackers[i];
      if (attacker.fd < 0) continue;
      const short ready = descriptors[i].revents;
      if (ready & POLLOUT) {
        const size_t count = attacker.kind == Kind::Dripper ? 1 : attacker.pending.size();
        const ssize_t sent = ::send(attacker.fd, attacker.pending.data(), count, MSG_NOSIGNAL);
        if (sent > 0) {
          attacker.pending.erase(0, static_cast<size_t>(sent));
          attacker.nextDrip = now + std::chrono::milliseconds(500);
        } else if (errno != EAGAIN) {
          Reopen(attacker);
          continue;
        }
      }
      if (ready & (POLLIN | POLLHUP | POLLERR)) {
        char buffer[4096];
        const ssize_t got = ::recv(attacker.fd, buffer, sizeof buffer, 0);
        if (got > 0) {
          if (attacker.reply.size() < 256) attacker.reply.append(buffer, static_cast<size_t>(got));
        } else if (got == 0 || errno != EAGAIN) {
          Reopen(attacker);
        }
      }
    }
  }
  std::printf(
      "attackers: %zu connections, %lu reopened after the server closed them, %lu "
      "connects failed\n",
      attackers.size(), reopened, connectFailures);
  for (const auto& [status, count] : bigReplies) {
    std::printf("15 KB header requests answered \"%s\": %lu\n", status.c_str(), count);
  }
  return 0;
}
