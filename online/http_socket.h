// One TCP connection to a web server over POSIX sockets, where every wait ends at a deadline.
#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

class THttpSocket {
 public:
  using Clock = std::chrono::steady_clock;

  THttpSocket() = default;
  ~THttpSocket() { Close(); }
  THttpSocket(const THttpSocket&) = delete;
  THttpSocket& operator=(const THttpSocket&) = delete;
  // A connection changes hands whole: the socket moved from is left closed.
  THttpSocket(THttpSocket&& other) noexcept;
  THttpSocket& operator=(THttpSocket&& other) noexcept;

  // Resolves `host` and connects to the first of its addresses that answers, all before
  // `deadline`. Throws EHttpSocketError: the resolver's or the system's error, or "Connection
  // timed out" when the deadline passes.
  void Connect(const std::string& host, uint16_t port, Clock::time_point deadline);
  // Sends every byte, or throws EHttpSocketError. `sent` counts the bytes handed to the system so
  // far, also when it throws: a request of which nothing went out can be sent elsewhere.
  void SendAll(std::string_view bytes, Clock::time_point deadline, size_t& sent);
  // Waits until bytes arrive and takes up to `size` of them; 0 when the server has closed the
  // connection. Throws EHttpSocketError on a failure and when the deadline passes first.
  size_t Receive(char* buffer, size_t size, Clock::time_point deadline);

  bool IsOpen() const { return fd_ >= 0; }
  // True when the server has neither closed the connection nor sent anything since the last
  // response: only then can the connection carry another request.
  bool IsIdle() const;
  void Close();

 private:
  // Waits for `events` on the socket until the deadline; throws the time-out when it passes.
  void Wait(short events, Clock::time_point deadline) const;

  int fd_ = -1;
};
