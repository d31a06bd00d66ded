// Buffered reading of lines and bodies from a server's response.
#include "online/http_reader.h"

#include <algorithm>

#include "online/http_errors.h"
#include "online/http_limits.h"

bool THttpReader::Fill() {
  if (closed_) return false;
  start_ = 0;
  end_ = source_.Receive(buffer_.data(), buffer_.size());
  received_ += end_;
  if (end_ == 0) closed_ = true;
  return end_ > 0;
}

std::optional<std::string> THttpReader::ReadLine() {
  std::string line;
  bool any = false;
  for (;;) {
    if (start_ == end_ && !Fill()) {
      if (!any) return std::nullopt;
      break;
    }
    any = true;
    const char* first = buffer_.data() + start_;
    const char* last = buffer_.data() + end_;
    const char* lf = std::find(first, last, '\n');
    line.append(first, lf);
    start_ = static_cast<size_t>(lf - buffer_.data());
    if (lf != last) {
      ++start_;
      break;
    }
    // One more than the limit may still be the CR of a line that just fits.
    if (line.size() > HttpMaxLineLength + 1) throw EHttpLineTooLong();
  }
  if (!line.empty() && line.back() == '\r') line.pop_back();
  if (line.size() > HttpMaxLineLength) throw EHttpLineTooLong();
  return line;
}

size_t THttpReader::ReadBytes(std::string& out, size_t count) {
  size_t done = 0;
  while (done < count) {
    if (start_ == end_ && !Fill()) break;
    const size_t take = std::min(count - done, end_ - start_);
    out.append(buffer_.data() + start_, take);
    start_ += take;
    done += take;
  }
  return done;
}

void THttpReader::ReadToEnd(std::string& out, size_t limit) {
  for (;;) {
    if (start_ == end_ && !Fill()) return;
    const size_t available = end_ - start_;
    const size_t room = limit > out.size() ? limit - out.size() : 0;
    if (available > room) {
      out.append(buffer_.data() + start_, room);
      start_ += room;
      throw EHttpError("Response body too large.");
    }
    out.append(buffer_.data() + start_, available);
    start_ = end_;
  }
}
