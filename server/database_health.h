// Whether the database answers, as the calls to it find: the log hears once when it stops and
// once when it is back, however many requests fail in between.
#pragma once

#include <chrono>
#include <functional>
#include <mutex>
#include <string>

class DatabaseHealth {
 public:
  using Log = std::function<void(const std::string&)>;

  explicit DatabaseHealth(Log log) : log_(std::move(log)) {}

  // A store call could not be served for `reason`.
  void Failed(const std::string& reason);
  // A store call succeeded.
  void Succeeded();
  bool Available() const;

 private:
  const Log log_;
  mutable std::mutex mutex_;
  bool available_ = true;
  std::chrono::steady_clock::time_point since_;
  unsigned long failures_ = 0;
};
