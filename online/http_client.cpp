// The GET exchange: choose or open the connection, send the request, read the response, and
// decide whether the connection may serve the next request.
#include "online/http_client.h"

#include <algorithm>
#include <cerrno>

#include "online/http_byte_source.h"
#include "online/http_errors.h"
#include "online/http_reader.h"
#include "online/http_request.h"
#include "online/http_response.h"
#include "online/http_url.h"

namespace {

using Clock = THttpSocket::Clock;

// The socket as the response reader sees it: each wait bounded by the read time-out and by what
// is left of the whole request's time.
class TSocketSource : public THttpByteSource {
 public:
  TSocketSource(THttpSocket& socket, std::chrono::milliseconds wait, Clock::time_point deadline)
      : socket_(socket), wait_(wait), deadline_(deadline) {}
  size_t Receive(char* buffer, size_t size) override {
    return socket_.Receive(buffer, size, std::min(Clock::now() + wait_, deadline_));
  }
  void LimitWait(std::chrono::milliseconds timeout) override { wait_ = std::min(wait_, timeout); }

 private:
  THttpSocket& socket_;
  std::chrono::milliseconds wait_;
  Clock::time_point deadline_;
};

// A kept-open connection the server has meanwhile dropped refuses the request's first bytes.
bool IsStaleConnection(const EHttpSocketError& error) {
  return error.ErrorCode() == ECONNRESET || error.ErrorCode() == EPIPE ||
         error.ErrorCode() == ECONNABORTED;
}

}  // namespace

std::string THttpClient::Get(const std::string& url) {
  std::string result;
  Get(url, result);
  return result;
}

void THttpClient::Get(const std::string& url, std::string& result) {
  Get(url, result, Clock::time_point::max());
}

void THttpClient::Get(const std::string& url, std::string& result, Clock::time_point deadline) {
  Exchange(url, {}, {}, false, result, deadline);
}

void THttpClient::Post(const std::string& url, std::string_view contentType, std::string_view body,
                       std::string& result, Clock::time_point deadline) {
  Exchange(url, contentType, body, true, result, deadline);
}

void THttpClient::Exchange(const std::string& url, std::string_view contentType,
                           std::string_view body, bool post, std::string& result,
                           Clock::time_point deadline) {
  result.clear();
  const THttpUrl parts = SplitUrl(url);
  const std::string requestPath = parts.Path + parts.Document;
  deadline = std::min(deadline, Clock::now() + timeouts_.Request);

  if (socket_.IsOpen() &&
      (parts.Host != host_ || parts.Port != port_ || !keepAlive_ || !socket_.IsIdle())) {
    socket_.Close();
  }
  keepAlive_ = false;
  const std::string cookies =
      cookies_.CookieHeader(parts.Host, requestPath, std::chrono::system_clock::now());
  const std::string request =
      post ? BuildPostRequest(parts, cookies, contentType, body.size()) + std::string(body)
           : BuildGetRequest(parts, cookies);
  const THttpCookieSink keepCookie = [&](std::string_view name, std::string_view value) {
    cookies_.Store(name, value, parts.Host, requestPath, std::chrono::system_clock::now());
  };

  for (int attempt = 0;; ++attempt) {
    const bool reused = socket_.IsOpen();
    size_t sent = 0;
    try {
      if (!reused) {
        socket_.Connect(parts.Host, parts.Port,
                        std::min(deadline, Clock::now() + timeouts_.Connect));
        host_ = parts.Host;
        port_ = parts.Port;
      }
      socket_.SendAll(request, deadline, sent);
      TSocketSource source(socket_, timeouts_.Read, deadline);
      THttpReader reader(source);
      keepAlive_ = ReadResponse(reader, result, keepCookie, timeouts_.ErrorBodyRead).KeepAlive;
    } catch (const EHttpSocketError& error) {
      socket_.Close();
      // Only a request the old connection would not take at all goes out again, on a new one:
      // once its bytes are out the server may have acted on it (stored the result), even if it
      // then closed without a word, and sending it again would act twice.
      if (reused && attempt == 0 && sent == 0 && IsStaleConnection(error)) continue;
      throw;
    } catch (...) {
      socket_.Close();
      throw;
    }
    if (!keepAlive_) socket_.Close();
    return;
  }
}

void THttpClient::Disconnect() {
  socket_.Close();
  keepAlive_ = false;
}
