// A web server on the loopback interface that a test scripts: it records the exact bytes of every
// request and answers each with the next scripted reply, one connection at a time.
#pragma once

#include <atomic>
#include <chrono>
#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

class TScriptedHttpServer {
 public:
  struct Reply {
    Reply(std::string bytes = "", bool close = false) : Bytes(std::move(bytes)), Close(close) {}

    std::string Bytes;
    // Close the connection after sending, instead of waiting for the next request on it.
    bool Close;
    // Take the request and never answer (until the client gives up or the server stops).
    bool Silent = false;
    // Close the connection on receiving the request, without a byte of answer.
    bool Drop = false;
    // After Bytes, send DripLine every DripInterval until the client goes away.
    std::string DripLine;
    std::chrono::milliseconds DripInterval{0};
    // Called on the server's thread as the request arrives, before anything else is done.
    std::function<void()> OnRequest;
    // How long the server thinks before it answers (or drops the connection).
    std::chrono::milliseconds Delay{0};
  };
  struct Request {
    int Connection;  // counted from 0 in the order of accepting
    std::string Bytes;
  };

  // Listens on 127.0.0.1 at a port the system chooses and answers at once.
  explicit TScriptedHttpServer(std::vector<Reply> replies);
  ~TScriptedHttpServer();
  TScriptedHttpServer(const TScriptedHttpServer&) = delete;
  TScriptedHttpServer& operator=(const TScriptedHttpServer&) = delete;

  uint16_t Port() const { return port_; }
  // "127.0.0.1:<port>", the way the game names its server.
  std::string Server() const;
  // "http://127.0.0.1:<port>" followed by `target`.
  std::string Url(std::string_view target) const;
  std::vector<Request> Requests() const;
  int Connections() const { return connections_; }

 private:
  void Run();
  void Serve(int connection, int index);
  // Waits until `fd` is readable; false when the server is stopping.
  bool WaitReadable(int fd) const;

  int listener_ = -1;
  uint16_t port_ = 0;
  std::vector<Reply> replies_;
  size_t nextReply_ = 0;
  mutable std::mutex mutex_;
  std::vector<Request> requests_;
  std::atomic<int> connections_{0};
  std::atomic<bool> stop_{false};
  std::thread thread_;
};
