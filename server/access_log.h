// The access log: one line a request, "WHEN ADDRESS "METHOD TARGET" STATUS BYTES MSms[ NOTE]".
// What a client sent is shown escaped (it can forge neither lines nor terminal escapes) and cut
// with "..." when long, so every line is short enough to be written whole and ends in a newline.
#pragma once

#include <cstddef>
#include <cstdio>
#include <ctime>
#include <string>
#include <string_view>

struct AccessLogEntry {
  std::string_view address;  // "-" when empty.
  std::string_view method;
  std::string_view target;
  int status = 0;
  size_t bytes = 0;  // Of the reply's body.
  double milliseconds = 0;
  std::string_view note;  // Why it was answered so; empty when all went well.
};

// The line for `entry` at `now`, with its newline; never longer than MaxAccessLogLine.
std::string AccessLogLine(const AccessLogEntry& entry, std::time_t now);
constexpr size_t MaxAccessLogLine = 4096;

class AccessLog {
 public:
  // `file` nullptr: nothing is written.
  explicit AccessLog(std::FILE* file) : file_(file) {}
  void Write(const AccessLogEntry& entry);

 private:
  std::FILE* file_;
};
