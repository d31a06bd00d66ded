// A small state machine over the head's bytes: each line is checked once, when its CRLF arrives.
#include "server/request_head.h"

namespace {

// The characters of a header's name (a token).
bool IsTokenChar(unsigned char c) {
  if (c >= '0' && c <= '9') return true;
  if ((c | 0x20) >= 'a' && (c | 0x20) <= 'z') return true;
  switch (c) {
    case '!':
    case '#':
    case '$':
    case '%':
    case '&':
    case '\'':
    case '*':
    case '+':
    case '-':
    case '.':
    case '^':
    case '_':
    case '`':
    case '|':
    case '~':
      return true;
    default:
      return false;
  }
}

// A control character other than a tab: never part of a request line or a header's value.
bool IsControl(unsigned char c) {
  return (c < 0x20 && c != '\t') || c == 0x7F;
}

}  // namespace

HeadStatus RequestHeadScanner::Refuse(HeadStatus status, std::string_view problem) {
  status_ = status;
  problem_ = problem;
  return status;
}

HeadStatus RequestHeadScanner::Scan(std::string_view received) {
  if (status_ != HeadStatus::Incomplete) return status_;
  for (; scanned_ < received.size(); ++scanned_) {
    const char c = received[scanned_];
    if (scanned_ >= limits_.maxHead) return Refuse(HeadStatus::TooLarge, "head too large");
    // A CR is looked at when the byte after it comes: only its LF may follow.
    if (scanned_ > 0 && received[scanned_ - 1] == '\r' && c != '\n') {
      return Refuse(HeadStatus::Malformed, "bare CR");
    }
    if (c != '\n') continue;
    if (scanned_ == 0 || received[scanned_ - 1] != '\r') {
      return Refuse(HeadStatus::Malformed, "bare LF");
    }
    const std::string_view line = received.substr(lineStart_, scanned_ - 1 - lineStart_);
    lineStart_ = scanned_ + 1;
    if (const HeadStatus ended = EndLine(line); ended != HeadStatus::Incomplete) {
      if (ended == HeadStatus::Complete) length_ = scanned_ + 1;
      ++scanned_;
      return ended;
    }
  }
  // The empty line that ends a head would have had to come by now.
  if (received.size() >= limits_.maxHead) return Refuse(HeadStatus::TooLarge, "head too large");
  return HeadStatus::Incomplete;
}

HeadStatus RequestHeadScanner::EndLine(std::string_view line) {
  if (firstLine_) {
    firstLine_ = false;
    if (line.empty()) return Refuse(HeadStatus::Malformed, "empty request line");
    if (line.size() > limits_.maxRequestLine) {
      return Refuse(HeadStatus::RequestLineTooLong, "request line too long");
    }
    for (const char c : line) {
      if (IsControl(static_cast<unsigned char>(c)) || c == '\t') {
        return Refuse(HeadStatus::Malformed, "control character in the request line");
      }
    }
    return HeadStatus::Incomplete;
  }
  if (line.empty()) return status_ = HeadStatus::Complete;
  if (line.front() == ' ' || line.front() == '\t') {
    return Refuse(HeadStatus::Malformed, "folded header line");
  }
  const size_t colon = line.find(':');
  if (colon == std::string_view::npos) return Refuse(HeadStatus::Malformed, "header without colon");
  if (colon == 0) return Refuse(HeadStatus::Malformed, "header without name");
  for (size_t i = 0; i < colon; ++i) {
    if (!IsTokenChar(static_cast<unsigned char>(line[i]))) {
      return Refuse(HeadStatus::Malformed, "bad character in a header name");
    }
  }
  for (size_t i = colon + 1; i < line.size(); ++i) {
    if (IsControl(static_cast<unsigned char>(line[i]))) {
      return Refuse(HeadStatus::Malformed, "control character in a header value");
    }
  }
  return HeadStatus::Incomplete;
}
