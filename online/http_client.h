// THttpClient: fetches a URL with GET over HTTP/1.1 and returns the body, for the online score
// table (and POSTs a game's recording to a server that takes them). It keeps one connection open
// between requests to the same server, keeps the cookies the server sets, follows no redirects, and
// bounds every wait so a dead server cannot freeze the game.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "online/cookie_store.h"
#include "online/http_limits.h"
#include "online/http_socket.h"

class THttpClient {
 public:
  using Clock = THttpSocket::Clock;

  THttpClient() = default;
  // A client changes hands whole, with its connection and its cookies.
  THttpClient(THttpClient&&) noexcept = default;
  THttpClient& operator=(THttpClient&&) noexcept = default;

  // Fetches `url` (absolute, "http") and returns its body byte for byte. Throws an EHttpError:
  // EHttpSocketError (resolving, connecting, a reset, or a time-out), EHttpConnectionClosed,
  // EHttpProtocolError for any status outside 2xx or a Location header, EHttpLineTooLong, or a
  // plain EHttpError for a response beyond the client's bounds or a header block cut short. A
  // request is never sent twice: once any of its bytes went out, a connection that then breaks
  // fails it.
  std::string Get(const std::string& url);
  // The same, with the body put into `result`: when a 2xx body fails midway, `result` holds what
  // had arrived when the error is thrown; after any other failure it is empty.
  void Get(const std::string& url, std::string& result);
  // The same, ended at `deadline` if that comes before the request's own time-out: several
  // requests can so share one bound.
  void Get(const std::string& url, std::string& result, Clock::time_point deadline);

  // POSTs `body` (of `contentType`) to `url` and puts the reply's body into `result`, as Get
  // does, by `deadline`.
  void Post(const std::string& url, std::string_view contentType, std::string_view body,
            std::string& result, Clock::time_point deadline);

  // Closes the open connection, if any.
  void Disconnect();

  void SetTimeouts(const THttpTimeouts& timeouts) { timeouts_ = timeouts; }
  const THttpTimeouts& Timeouts() const { return timeouts_; }
  TCookieStore& Cookies() { return cookies_; }

 private:
  // One request: `body` empty for a GET, else the POST's body of `contentType`.
  void Exchange(const std::string& url, std::string_view contentType, std::string_view body,
                bool post, std::string& result, Clock::time_point deadline);

  THttpSocket socket_;
  std::string host_;
  uint16_t port_ = 0;
  bool keepAlive_ = false;
  TCookieStore cookies_;
  THttpTimeouts timeouts_;
};
