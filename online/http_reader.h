// Reads a response's lines and bytes from a byte source through a small buffer, within the
// client's line and size bounds.
#pragma once

#include <array>
#include <cstddef>
#include <optional>
#include <string>

#include "online/http_byte_source.h"

class THttpReader {
 public:
  explicit THttpReader(THttpByteSource& source) : source_(source) {}

  // The next line without its LF and a CR before it. What arrived before the connection closed
  // counts as a last line; nothing at all gives no line. Throws EHttpLineTooLong for a line
  // longer than HttpMaxLineLength, without buffering more of it.
  std::optional<std::string> ReadLine();
  // Appends up to `count` bytes to `out`; fewer only when the connection closed. Returns how many.
  size_t ReadBytes(std::string& out, size_t count);
  // Appends everything up to the connection's end to `out`; throws EHttpError once `out` would
  // exceed `limit`, keeping what fits.
  void ReadToEnd(std::string& out, size_t limit);

  // True once the other side has closed the connection.
  bool Closed() const { return closed_; }
  // Bytes received and not yet read: a server that sent more than its response.
  bool HasUnreadBytes() const { return start_ < end_; }
  // Every byte received so far, read or not.
  size_t BytesReceived() const { return received_; }
  THttpByteSource& Source() { return source_; }

 private:
  // Refills the empty buffer; false when the connection has closed.
  bool Fill();

  THttpByteSource& source_;
  std::array<char, 4096> buffer_{};
  size_t start_ = 0;
  size_t end_ = 0;
  size_t received_ = 0;
  bool closed_ = false;
};
