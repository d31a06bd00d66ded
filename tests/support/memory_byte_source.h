// A response held in memory, handed out a few bytes at a time as a slow network would: the byte
// source of the response reader's tests and of its fuzz target.
#pragma once

#include <algorithm>
#include <string>
#include <string_view>

#include "online/http_byte_source.h"

class TMemoryByteSource : public THttpByteSource {
 public:
  // Gives out at most `piece` bytes per Receive, then 0 (the connection closed) at the end.
  explicit TMemoryByteSource(std::string_view bytes, size_t piece = 4096)
      : bytes_(bytes), piece_(std::max<size_t>(piece, 1)) {}

  size_t Receive(char* buffer, size_t size) override {
    const size_t take = std::min({size, piece_, bytes_.size() - position_});
    std::copy_n(bytes_.data() + position_, take, buffer);
    position_ += take;
    return take;
  }
  void LimitWait(std::chrono::milliseconds timeout) override { limitedWait_ = timeout; }

  // The wait the reader asked for last, zero when it never asked.
  std::chrono::milliseconds LimitedWait() const { return limitedWait_; }
  size_t Position() const { return position_; }

 private:
  std::string bytes_;
  size_t piece_;
  size_t position_ = 0;
  std::chrono::milliseconds limitedWait_{0};
};
