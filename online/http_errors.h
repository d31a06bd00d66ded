// The failures of a request to a web server. The result submission catches them all alike; each
// carries a message a maintainer can read.
#pragma once

#include <string>

#include "engine/base/exception.h"

// Every failure of THttpClient::Get; the classes below say which kind.
class EHttpError : public Exception {
 public:
  explicit EHttpError(const std::string& message) : Exception(message) {}
};

// The host cannot be resolved, the connection is refused or reset, or a wait ran out of time:
// "Socket Error # %d" and the system's text for that number.
class EHttpSocketError : public EHttpError {
 public:
  EHttpSocketError(int code, const std::string& text);
  int ErrorCode() const { return code_; }

 private:
  int code_;
};

// The server closed the connection where more of the response was due.
class EHttpConnectionClosed : public EHttpError {
 public:
  EHttpConnectionClosed() : EHttpError("Connection Closed Gracefully.") {}
};

// A status, header or chunk-size line longer than the client accepts.
class EHttpLineTooLong : public EHttpError {
 public:
  EHttpLineTooLong() : EHttpError("Max line length exceeded.") {}
};

// The server answered, but not with a success: any status outside 2xx, and any answer that points
// elsewhere with a Location header, redirects included.
class EHttpProtocolError : public EHttpError {
 public:
  EHttpProtocolError(int statusCode, const std::string& statusLine, const std::string& body)
      : EHttpError(statusLine), statusCode_(statusCode), statusLine_(statusLine), body_(body) {}
  int StatusCode() const { return statusCode_; }
  const std::string& StatusLine() const { return statusLine_; }
  const std::string& Body() const { return body_; }

 private:
  int statusCode_;
  std::string statusLine_;
  std::string body_;
};
