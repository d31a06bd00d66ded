// The raw syntax of a request's head (request line and header lines), checked byte by byte as it
// arrives and before any parser sees it. What it refuses is what lets one request be read as
// another behind a proxy that reads it otherwise: a bare CR or LF, a folded header line, a line
// without a colon, white space before the colon. The head's size is bounded here too.
#pragma once

#include <cstddef>
#include <string_view>

struct RequestHeadLimits {
  size_t maxHead = 16 * 1024;        // Request line and header lines with their line ends.
  size_t maxRequestLine = 8 * 1024;  // Without its line end.
};

enum class HeadStatus {
  Incomplete,          // Fine so far; more bytes are needed.
  Complete,            // The head ends with an empty line, Length() bytes in.
  TooLarge,            // 431: no end within maxHead bytes.
  RequestLineTooLong,  // 414
  Malformed,           // 400
};

// Reads the bytes a connection received so far, again and again as more arrive: each call goes on
// from where the last stopped, so a head sent a byte at a time costs no more than one sent whole.
class RequestHeadScanner {
 public:
  explicit RequestHeadScanner(RequestHeadLimits limits = {}) : limits_(limits) {}

  // `received` is everything received for this request so far (earlier calls saw a prefix of it).
  HeadStatus Scan(std::string_view received);
  // The head's length, line ends included, once Complete.
  size_t Length() const { return length_; }
  // Why the head was refused, for the log.
  std::string_view Problem() const { return problem_; }

 private:
  HeadStatus Refuse(HeadStatus status, std::string_view problem);
  HeadStatus EndLine(std::string_view line);

  const RequestHeadLimits limits_;
  size_t scanned_ = 0;
  size_t lineStart_ = 0;
  size_t length_ = 0;
  bool firstLine_ = true;
  HeadStatus status_ = HeadStatus::Incomplete;
  std::string_view problem_;
};
