// Where the bytes of a response come from: a connection to a server, or plain memory when the
// response reader is tested or fuzzed.
#pragma once

#include <chrono>
#include <cstddef>

class THttpByteSource {
 public:
  virtual ~THttpByteSource() = default;
  // Waits for at least one byte and puts up to `size` bytes into `buffer`; 0 means the other side
  // has closed the connection. Throws EHttpSocketError when the connection fails or the wait
  // runs out of time.
  virtual size_t Receive(char* buffer, size_t size) = 0;
  // From now on each wait lasts at most `timeout`, for what is only read to describe a failure.
  virtual void LimitWait(std::chrono::milliseconds timeout) = 0;
};
