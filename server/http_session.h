// One connection: requests read with the head scanner and Beast's parser under the deadlines,
// checked, answered by the handler, logged; kept alive while the client wants and all is well.
#pragma once

#include <atomic>
#include <boost/asio/awaitable.hpp>
#include <boost/asio/ip/tcp.hpp>
#include <boost/beast/core/flat_buffer.hpp>
#include <boost/beast/core/tcp_stream.hpp>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "server/http_server.h"

struct SessionContext {
  const ConnectionLimits& limits;
  const HttpHandler& handler;
  AccessLog& log;
  ConnectionRegistry& registry;
  const std::vector<std::string>& exempt;
  const std::atomic<bool>& stopping;
};

class HttpSession : public std::enable_shared_from_this<HttpSession> {
 public:
  HttpSession(boost::asio::ip::tcp::socket socket, const SessionContext& context);
  ~HttpSession();
  HttpSession(const HttpSession&) = delete;
  HttpSession& operator=(const HttpSession&) = delete;

  boost::asio::any_io_executor Executor() { return stream_.get_executor(); }
  // Serves the connection until it closes; never throws.
  boost::asio::awaitable<void> Serve();

 private:
  boost::asio::awaitable<void> ServeRequests();
  // Reads and answers one request; false when the connection is to close.
  boost::asio::awaitable<bool> ServeOne();
  // Answers `status` with a short text, logs `problem` and closes; always false.
  // (Views, not strings: what the caller names lives until the refusal is sent.)
  // Reads a POST's `length` bytes by `deadline` into `body`; false when they did not all come.
  boost::asio::awaitable<bool> ReadBody(size_t length,
                                        std::chrono::steady_clock::time_point deadline,
                                        std::string& body);
  boost::asio::awaitable<bool> Refuse(int status, std::string_view problem,
                                      std::string_view requestLine,
                                      std::chrono::milliseconds drain);
  boost::asio::awaitable<void> Write(int status, unsigned version, bool head, HttpReply& reply,
                                     bool keepAlive, std::string_view method,
                                     std::string_view target);
  // Stops sending, then reads what the client still sends for a moment, so that closing does not
  // reset the connection before the client has read the reply.
  boost::asio::awaitable<void> CloseGently(std::chrono::milliseconds drain);
  // From another thread: closes the connection if it waits for a request.
  void CloseIfWaiting();

  boost::beast::tcp_stream stream_;
  const SessionContext& context_;
  ConnectionSlot slot_;
  boost::beast::flat_buffer buffer_;
  std::string peer_;
  bool waiting_ = false;
  std::chrono::steady_clock::time_point started_;
};
