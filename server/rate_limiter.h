// A per-address allowance of requests a minute (a token bucket: a burst of the whole minute's
// allowance, refilled evenly), so one address cannot flood the table or the handshakes.
#pragma once

#include <chrono>
#include <cstdint>
#include <mutex>
#include <string>
#include <unordered_map>

#include "server/client_key.h"

class RateLimiter {
 public:
  using Clock = std::chrono::steady_clock;

  // `perMinute` 0 means no limit.
  explicit RateLimiter(uint32_t perMinute) : perMinute_(perMinute) {}

  // Counts one request of `address` (by its ClientKey) at `now`; false when its allowance is used
  // up.
  bool Allow(const std::string& address, Clock::time_point now = Clock::now());

 private:
  struct Bucket {
    double tokens = 0;
    Clock::time_point updated;
  };
  // Addresses whose bucket has refilled are forgotten, so memory follows the active addresses.
  void ForgetFullBuckets(Clock::time_point now);

  const uint32_t perMinute_;
  std::mutex mutex_;
  std::unordered_map<std::string, Bucket> buckets_;
  Clock::time_point lastSweep_{};
};
