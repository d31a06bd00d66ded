// Reading a server's answer to a GET: status line, headers, and a body framed by Content-Length,
// by chunks or by the end of the connection, all within the client's bounds. Works on any byte
// source, so it runs the same on a socket, in tests and under the fuzzer.
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "online/http_limits.h"
#include "online/http_reader.h"

struct THttpResponseHead {
  std::string StatusLine;
  int StatusCode = -1;
  std::vector<std::pair<std::string, std::string>> Headers;  // in arrival order, values trimmed
  bool Complete = false;  // the empty line that ends the header block arrived

  // The first header of that name in any letter case, or nothing.
  const std::string* Header(std::string_view name) const;
};

// The second space-separated word of a status line as a decimal number; -1 when there is none.
int ParseStatusCode(std::string_view statusLine);

// Receives each "Set-Cookie" and "Set-Cookie2" header: its name and its value.
using THttpCookieSink = std::function<void(std::string_view name, std::string_view value)>;

// Reads status lines and header blocks up to the final response, skipping interim 1xx answers.
// Throws EHttpConnectionClosed when the connection ends before any status line, EHttpLineTooLong,
// and EHttpError when the headers exceed HttpMaxHeaderLines or HttpMaxHeaderBytes.
THttpResponseHead ReadResponseHead(THttpReader& reader, const THttpCookieSink& cookies);

// Reads the body the head announces into `body`, appending as the bytes arrive, so what came
// before a failure stays there. Nothing is read for 1xx, 204 and 304. Throws EHttpError for a body
// beyond HttpMaxBodySize (or a length or chunk size announcing one) and EHttpConnectionClosed when
// the connection ends inside a chunked body.
void ReadResponseBody(THttpReader& reader, const THttpResponseHead& head, std::string& body);

// Reads one whole response to a GET. A 2xx answer without a Location header is a success, its body
// going into `body` (see ReadResponseBody); any other answer throws EHttpProtocolError with the
// body read after the source's waits have been cut to `errorBodyWait`; a 2xx whose header block the
// connection's end cut short throws "Undefined situation". Returns the head and whether the
// connection may carry the next request.
struct THttpResponseResult {
  THttpResponseHead Head;
  bool KeepAlive = false;
};
THttpResponseResult ReadResponse(THttpReader& reader, std::string& body,
                                 const THttpCookieSink& cookies,
                                 std::chrono::milliseconds errorBodyWait);
