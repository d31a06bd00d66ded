// How much a web server may send and how long it may take. A dead or hostile server must neither
// freeze the game nor exhaust its memory, so every wait and every size has a bound.
#pragma once

#include <chrono>
#include <cstddef>

// The longest status, header or chunk-size line, not counting its line end.
constexpr size_t HttpMaxLineLength = 16384;
// The largest response body; a longer one fails the request.
constexpr size_t HttpMaxBodySize = size_t{1} << 20;
// All header lines of one response together (interim 1xx responses included), and their count.
constexpr size_t HttpMaxHeaderBytes = 65536;
constexpr size_t HttpMaxHeaderLines = 256;
// Interim 1xx responses skipped before the final one.
constexpr int HttpMaxInterimResponses = 8;

struct THttpTimeouts {
  // Resolving the host name and opening the connection together.
  std::chrono::milliseconds Connect{10000};
  // Each wait for more bytes of the response.
  std::chrono::milliseconds Read{10000};
  // One whole request, from its start to the last byte of the response.
  std::chrono::milliseconds Request{30000};
  // Each wait for the body of an error response, which is only kept for its message.
  std::chrono::milliseconds ErrorBodyRead{2000};
};
